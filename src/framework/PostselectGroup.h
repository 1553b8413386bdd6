// PostselectGroup: the case group of an activity; the case is drawn when
// the activity completes. Simulation thread only.
#ifndef VELMOR_FRAMEWORK_POSTSELECTGROUP_H
#define VELMOR_FRAMEWORK_POSTSELECTGROUP_H

#include "framework/BaseGroupClass.h"

// Timing questions go to the first member (all cases share the timing);
// Fire draws a case, fires it and clears the selection.
// REQUIRES for the forwarding operations: at least one member.
class PostselectGroup : public BaseGroupClass {
 public:
  PostselectGroup();
  // n members, to be stored with setMember.
  explicit PostselectGroup(int n);

  double Weight() override;
  bool ReactivationPredicate() override;
  bool ReactivationFunction() override;
  double SampleDistribution() override;
  BaseActionClass* Fire() override;
  int Rank() override;

 private:
  BaseActionClass* firstMember();
};

#endif  // VELMOR_FRAMEWORK_POSTSELECTGROUP_H
