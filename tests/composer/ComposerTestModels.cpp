// The composer test models: built as the model generator builds its SAN
// submodels, replicates and joins.
#include "ComposerTestModels.h"

namespace composertest {

namespace {
char kZ[] = "z";
char* kZNames[] = {kZ};
}  // namespace

StepActivity::StepActivity(const char* activityName, Place* target, short delta)
    : place(target), step(delta) {
  ActivityInitialize(activityName, 0, kExponential, kRaceEnabled, 1, 0, false);
}

BaseActionClass* StepActivity::Fire() {
  place->setMark(static_cast<short>(place->getMark() + step));
  return this;
}

CellSAN::CellSAN(short xMark, short yMark, short zMark, const char* firstName,
                 const char* secondName)
    : x("x", xMark),
      y("y", yMark),
      z("z", zMark),
      first(firstName, &x, 1),
      second(secondName, &y, -1) {
  BaseStateVariableClass* placeArray[] = {&x, &y, &z};
  Activity* activityArray[] = {&first, &second};
  BaseGroupClass* groupArray[] = {&first, &second};
  initializeSANModelNow("cell", 3, placeArray, 0, nullptr, 2, activityArray, 2, groupArray);
  AddAffectArc(&x, &first);
  AddAffectArc(&y, &second);
}

EmptySAN::EmptySAN() : unused("unused"), idle("idle", &unused, 1) {
  Activity* activityArray[] = {&idle};
  BaseGroupClass* groupArray[] = {&idle};
  initializeSANModelNow("empty", 0, nullptr, 0, nullptr, 1, activityArray, 1, groupArray);
}

CellRep::CellRep(int n, bool shareZ)
    : Rep("cells", n, shareZ ? 1 : 0, kZNames), cells(nullptr), zPlace(nullptr), count(n) {
  cells = new CellSAN*[n > 0 ? n : 1];
  for (int i = 0; i < n; i++) {
    cells[i] = new CellSAN();
    SetChild(i, cells[i]);
  }
  SetupActions();
  if (n > 0 && shareZ) {
    zPlace = new Place("z");
    addSharedPtr(zPlace, "z");
    zPlace->ShareWith(&cells[0]->z);
    for (int i = 0; i < n; i++) addSharingInfo(&cells[i]->z, zPlace, nullptr);
    for (int i = 1; i < n; i++) cells[i]->z.ShareWith(&cells[0]->z);
  }
  Setup("cell");
}

CellRep::~CellRep() {
  // Members of a sharing class go before its representative (zPlace).
  for (int i = 0; i < count; i++) delete cells[i];
  delete[] cells;
  delete zPlace;
}

CellJoin::CellJoin(int n)
    : Join("top", 2, 1, kZNames), single(nullptr), rep(nullptr), zPlace(nullptr) {
  single = new CellSAN();
  single->DefineName("single");
  rep = new CellRep(n);
  SetChild(0, single);
  SetChild(1, rep);
  SetupActions();
  zPlace = new Place("z");
  addSharedPtr(zPlace, "z");
  zPlace->ShareWith(&single->z);
  addSharingInfo(&single->z, zPlace, single);
  if (rep->getNumStateVariables() > 0) {
    zPlace->ShareWith(rep->zPlace);
    addSharingInfo(rep->zPlace, zPlace, rep);
  }
  Setup();
}

CellJoin::~CellJoin() {
  delete rep;
  delete single;
  delete zPlace;
}

}  // namespace composertest
