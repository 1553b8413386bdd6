// Globals: the reward layer's reset point.
#include "reward/Globals.h"

#include "reward/PerformanceVariableNode.h"

void ResetRewardGlobals() { PerformanceVariableNode::the_id = 0; }
