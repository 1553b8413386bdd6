#include "base/FastSet.h"

#include <new>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"

int FastSet::number1 = 0;
int FastSet::number2 = 0;

FastSet::FastSet() : is_vec_rep(false), tree(nullptr), arraySize(0) {
  tree = Allocate<std::set<int>>();
  number1++;
}

FastSet::~FastSet() {
  if (is_vec_rep) {
    delete[] array;
  } else {
    delete tree;
  }
}

void FastSet::insert(const int& value) {
  VELMOR_ASSERT_MSG(!is_vec_rep, "!is_vec_rep", "FastSet");
  tree->insert(value);
}

bool FastSet::find(const int& value) const {
  VELMOR_ASSERT_MSG(!is_vec_rep, "!is_vec_rep", "FastSet");
  return tree->count(value) != 0;
}

bool FastSet::empty() const {
  VELMOR_ASSERT_MSG(!is_vec_rep, "!is_vec_rep", "FastSet");
  return tree->empty();
}

void FastSet::NoMoreModifications() {
  VELMOR_ASSERT_MSG(!is_vec_rep, "!is_vec_rep", "FastSet");
  int count = static_cast<int>(tree->size());
  int* frozen = nullptr;
  if (count > 0) {
    frozen = AllocateArray<int>(count);
    int i = 0;
    for (int value : *tree) frozen[i++] = value;  // std::set iterates ascending
  }
  delete tree;
  array = frozen;
  arraySize = count;
  number2++;
  is_vec_rep = true;
}

int& FastSet::operator[](int i) {
  VELMOR_ASSERT_MSG(is_vec_rep, "is_vec_rep", "FastSet");
  return array[i];
}

const int& FastSet::operator[](int i) const {
  VELMOR_ASSERT_MSG(is_vec_rep, "is_vec_rep", "FastSet");
  return array[i];
}

int FastSet::size() const {
  VELMOR_ASSERT_MSG(is_vec_rep, "is_vec_rep", "FastSet");
  return arraySize;
}

void FastSet::clear() {
  if (is_vec_rep) {
    delete[] array;
    array = nullptr;
    arraySize = 0;
  } else {
    tree->clear();
  }
}
