// FastSet: a set of ints built as an ordered tree, then frozen into a sorted
// array for fast reads by index. Not thread-safe. The class-wide counters
// are plain ints (statistics only).
#ifndef VELMOR_BASE_FASTSET_H
#define VELMOR_BASE_FASTSET_H

#include <set>

// Built with insert while in set form; NoMoreModifications freezes it into
// array form for good. Owns its tree or its array, whichever it holds.
// Invariants: in set form tree is non-null; in array form array holds size
// ascending values (null when size is 0). Using an operation in the wrong
// form fails an assertion naming the unit FastSet.
class FastSet {
 public:
  FastSet();
  FastSet(const FastSet&) = delete;  // owns its representation
  FastSet& operator=(const FastSet&) = delete;
  ~FastSet();

  // REQUIRES: set form.
  void insert(const int& value);
  bool find(const int& value) const;
  bool empty() const;
  void NoMoreModifications();

  // REQUIRES: array form. operator[] checks no bounds.
  int& operator[](int i);
  const int& operator[](int i) const;
  int size() const;

  void clear();
  bool isFrozen() const { return is_vec_rep; }

  static int number1;  // constructions
  static int number2;  // conversions to array form

 private:
  bool is_vec_rep;  // false: set form (tree); true: array form (array, size)
  union {
    std::set<int>* tree;
    int* array;
  };
  int arraySize;  // meaningful in array form only
};

#endif  // VELMOR_BASE_FASTSET_H
