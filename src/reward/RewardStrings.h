// RewardStrings: the C-string helpers shared by the reward classes.
// Thread-safe (no shared state).
#ifndef VELMOR_REWARD_REWARDSTRINGS_H
#define VELMOR_REWARD_REWARDSTRINGS_H

// A malloc'd copy of text (release with free); null for null. Ends the
// process through MemoryAllocationError when no memory is left.
char* DuplicateRewardString(const char* text);

// Whether both texts are non-null and equal.
bool SameRewardName(const char* a, const char* b);

#endif  // VELMOR_REWARD_REWARDSTRINGS_H
