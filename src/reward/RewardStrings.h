// RewardStrings: the name comparison shared by the reward classes.
// Thread-safe (no shared state).
#ifndef VELMOR_REWARD_REWARDSTRINGS_H
#define VELMOR_REWARD_REWARDSTRINGS_H

// Whether both texts are non-null and equal.
bool SameRewardName(const char* a, const char* b);

#endif  // VELMOR_REWARD_REWARDSTRINGS_H
