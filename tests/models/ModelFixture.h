// ModelFixture: a test fixture for the built-in model that sets the global
// variables directly (experiment-1 values unless a test changes them),
// resets the generator, and clears the study afterwards. Test thread only.
#ifndef VELMOR_TESTS_MODELS_MODELFIXTURE_H
#define VELMOR_TESTS_MODELS_MODELFIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RandomFixture.h"
#include "base/List.h"
#include "framework/BaseActionClass.h"
#include "framework/state/BaseStateVariableClass.h"
#include "redundant_controller_flash_model.h"
#include "study/BaseStudyClass.h"

inline void SetModelGlobals(short devices, short replicas) {
  flash_size = 17.0f;
  num_devices = devices;
  num_replicas = replicas;
  power_cycle_rate = 1000.0f;
  ram_size = 128.0f;
  random_failure_rate = 0.005f;
}

class ModelFixture : public RandomFixture {
 protected:
  void SetUp() override {
    RandomFixture::SetUp();
    SetModelGlobals(1, 1);
  }
  void TearDown() override {
    DestructStudy();
    SetModelGlobals(0, 0);
    RandomFixture::TearDown();
  }
};

// Names of the variables in a list, in list order.
inline std::vector<std::string> SVNames(List<BaseStateVariableClass>* list) {
  std::vector<std::string> names;
  for (int i = 0; i < list->getNumItems(); i++) names.push_back(list->getItem(i)->getName());
  return names;
}

// Names of the actions in a list, in list order.
inline std::vector<std::string> ActionNames(List<BaseActionClass>* list) {
  std::vector<std::string> names;
  for (int i = 0; i < list->getNumItems(); i++) names.push_back(list->getItem(i)->getName());
  return names;
}

using Names = std::vector<std::string>;

#endif  // VELMOR_TESTS_MODELS_MODELFIXTURE_H
