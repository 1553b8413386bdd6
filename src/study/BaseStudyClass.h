// BaseStudyClass: the study of a model: its global variables, experiments and
// the reward model built for them; GlobalStudyPtr and the per-model study
// factory. Simulation thread only (GetExpName returns one static buffer).
#ifndef VELMOR_STUDY_BASESTUDYCLASS_H
#define VELMOR_STUDY_BASESTUDYCLASS_H

class PVModel;

// Root of every study. Names each global variable of a model (with its type
// name) and counts the experiments; a generated study derives from it, adds
// one value array per global variable and writes the process-wide globals.
// Owns: the name and type strings (CopyOwnedString copies, released with ReleaseOwnedString) and
// the reward model last built by GetPVModel (deleted by the destructor when set). Invariants:
// GVNames and GVTypes hold NumGVs entries each (null or owned copies); experiments are numbered 0
// .. NumExps - 1 inside the program.
class BaseStudyClass {
 public:
  BaseStudyClass();
  // Allocates numGVs null name and type slots; fill them with SetGVInfo.
  BaseStudyClass(int numGVs, int numExps);
  BaseStudyClass(const BaseStudyClass&) = delete;  // owns the name arrays
  BaseStudyClass& operator=(const BaseStudyClass&) = delete;
  virtual ~BaseStudyClass();

  // Base: the stored reward model. A generated study destroys the stored
  // one, builds a new one with the flag, stores and returns it.
  virtual PVModel* GetPVModel(bool expandPVs);
  // Base: writes "basestudyclass::SetGVs" to standard output.
  virtual void SetGVs(int exp);
  virtual void PrintGlobalValues(int exp);
  // Base: null. A generated study returns the named global's address.
  virtual void* GetGVValue(char* name);
  // Base: nothing. A generated study copies *value, read as the named
  // global's own type, into it.
  virtual void OverrideGVValue(char* name, void* value);

  // Parses "letter:name:value[:letter:name:value...]" and calls
  // OverrideGVValue for each triple. A null text does nothing.
  void overrideGVs(char* text);
  // Checks an override text without applying it: every triple must be
  // complete and name a declared global variable, with the variable's own
  // type letter and a value that converts entirely and lies in the type's
  // range. For each problem writes a line on standard error naming the
  // variable, its type and the valid values (an unknown name first gets the
  // study's own "does not exist" line from OverrideGVValue, which changes
  // nothing). True when the text has no problem; a null text has none.
  bool ValidateOverrides(const char* text);

  int GetNumGVs() const { return NumGVs; }
  // REQUIRES: 0 <= i < GetNumGVs().
  char* GetGVName(int i) const { return GVNames[i]; }
  // REQUIRES: 0 <= i < GetNumGVs().
  char* GetGVType(int i) const { return GVTypes[i]; }
  int GetNumExps() const { return NumExps; }
  // The reward model last built by GetPVModel (null before the first).
  PVModel* CurrentPVModel() const { return ThePVModel; }
  // "Experiment <i+1>" in one static buffer that every call overwrites.
  static char* GetExpName(int i);

 protected:
  // Stores owned copies of the i-th global variable's name and type name.
  // REQUIRES: 0 <= i < NumGVs.
  void SetGVInfo(int i, const char* name, const char* type);
  // Reward model ownership for derived studies: deletes the stored model.
  void DeletePVModel();

  char** GVNames;       // NumGVs owned copies
  char** GVTypes;       // NumGVs owned copies ("float", "short", ...)
  PVModel* ThePVModel;  // owned; last built by GetPVModel
  int NumGVs;
  int NumExps;
};

// The process's one study; null until the first GenerateStudy.
extern BaseStudyClass* GlobalStudyPtr;

// Defined by each model: returns GlobalStudyPtr, creating the model's study
// and storing it there first when GlobalStudyPtr is null.
BaseStudyClass* GenerateStudy();
// Defined by each model: destroys the study held in GlobalStudyPtr (if any)
// and sets GlobalStudyPtr to null.
void DestructStudy();

#endif  // VELMOR_STUDY_BASESTUDYCLASS_H
