// Tests of models and SAN models: ids, arrays and arcs, listing, the
// snapshot over unshared places, the snapshot record, hash and comparison,
// the local/global action partition and the traps.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>

#include "FrameworkFixture.h"
#include "TestSAN.h"
#include "framework/StateBytes.h"

namespace {

class SANModelTest : public FrameworkFixture {
 protected:
  // A one-place model whose 2-byte snapshot is the given two bytes.
  struct TwoByteModel {
    explicit TwoByteModel(unsigned char b0, unsigned char b1) : place("x", 0) {
      unsigned char bytes[2] = {b0, b1};
      place.SetState(bytes);
      BaseStateVariableClass* places[] = {&place};
      model.initializeSANModelNow("two", 1, places, 0, nullptr, 0, nullptr, 0, nullptr);
    }
    Place place;
    SANModel model;
  };

  static State* Snapshot(SANModel* m) {
    State* s = nullptr;
    m->ConstructLocalState(s);
    m->GetLocalState(s);
    return s;
  }
};

// A model that overrides none of the traps.
class BareModel : public BaseModelClass {
 public:
  void listModels(const char*, List<BaseModelClass>*) override {}
  void CurrentState(void*) override {}
  void listActions(List<BaseActionClass>*) override {}
  void listGroups(List<BaseGroupClass>*) override {}
  void SetState(void*) override {}
  int StateSize() override { return 0; }
  bool CompareState(void*, void*) override { return true; }
  void listActions(const char*, List<BaseActionClass>*) override {}
  void listSVs(const char*, const char*, List<BaseStateVariableClass>*,
               List<BaseModelClass>*) override {}
};

TEST_F(SANModelTest, ModelIdsCountFromOneAndParentStartsAsSelf) {
  TestSAN first;
  TestSAN second("second");
  EXPECT_EQ(first.getModelId(), 1);
  EXPECT_EQ(second.getModelId(), 2);
  EXPECT_EQ(first.getParentId(), 1);
  EXPECT_EQ(second.getParentId(), 2);
  second.SetParentId(7);
  EXPECT_EQ(second.getParentId(), 7);
  second.DefineName("renamed");
  EXPECT_STREQ(second.getName(), "renamed");
}

TEST_F(SANModelTest, InitializationCopiesArraysAndRegistersTheModel) {
  TestSAN m;
  EXPECT_STREQ(m.getName(), "test");
  EXPECT_EQ(m.getNumStateVariables(), 4);  // 3 places + 1 read-only
  EXPECT_EQ(m.getNumActions(), 4);
  EXPECT_EQ(m.getNumGroups(), 3);
  EXPECT_EQ(m.GetModelType(), 1);
  EXPECT_EQ(m.GetNumberOfChildren(), 0);
  EXPECT_EQ(m.move.getModel(), &m);
  EXPECT_EQ(m.c2.getModel(), &m);
  EXPECT_EQ(m.cases.getModel(), &m);
  Place* places[] = {&m.p, &m.q, &m.r};
  EXPECT_TRUE(checkLocalSVs(&m, places));
  Place* swapped[] = {&m.q, &m.p, &m.r};
  EXPECT_FALSE(checkLocalSVs(&m, swapped));
  BaseStateVariableClass* readOnly[] = {&m.ro};
  EXPECT_TRUE(checkReadOnlyPlaces(&m, readOnly));
  Activity* acts[] = {&m.move, &m.idle, &m.c1, &m.c2};
  EXPECT_TRUE(checkLocalActions(&m, acts));
  EXPECT_EQ(m.GetLocalStateVariables(nullptr)[1], &m.q);
  // Arcs reached both sides.
  EXPECT_EQ(m.p.getNumAffectingActions(), 1);
  EXPECT_EQ(m.p.getEnabledAction(0), &m.move);
  EXPECT_EQ(m.move.getNumAffectedSVs(), 2);
  EXPECT_EQ(m.move.getNumEnablingSVs(), 1);
  // SetActions overwrites entries and registers the model.
  ScriptedActivity extra("extra");
  Activity* replaced[] = {&m.move, &extra, &m.c1, &m.c2};
  m.SetActions(replaced);
  EXPECT_EQ(m.getActions()[1], &extra);
  EXPECT_EQ(extra.getModel(), &m);
}

TEST_F(SANModelTest, SnapshotHoldsUnsharedPlacesInOrder) {
  TestSAN m;
  // Three 2-byte marks; the read-only place is never part of it.
  ASSERT_EQ(m.StateSize(), 6);
  EXPECT_TRUE(m.HasLocalState());
  short marks[3] = {0, 0, 0};
  m.CurrentState(marks);
  EXPECT_EQ(marks[0], 1);
  EXPECT_EQ(marks[1], 0);
  EXPECT_EQ(marks[2], 2);
  m.move.Fire();
  m.r.setMark(9);
  short other[3];
  m.CurrentState(other);
  EXPECT_FALSE(m.CompareState(marks, other));
  m.SetState(marks);
  EXPECT_EQ(m.p.getMark(), 1);
  EXPECT_EQ(m.r.getMark(), 2);
  m.CurrentState(other);
  EXPECT_TRUE(m.CompareState(marks, other));
}

TEST_F(SANModelTest, SharedPlacesLeaveTheSnapshot) {
  TestSAN m;
  Place composerPlace("q", 0);
  composerPlace.ShareWith(&m.q);  // as a composer shares a child's place
  ASSERT_EQ(m.StateSize(), 4);
  short marks[2] = {0, 0};
  m.CurrentState(marks);
  EXPECT_EQ(marks[0], 1);  // p
  EXPECT_EQ(marks[1], 2);  // r
  marks[1] = 5;
  m.SetState(marks);
  EXPECT_EQ(m.r.getMark(), 5);
  // The activity's cached pointer now reaches the composer's cell.
  m.move.Fire();
  EXPECT_EQ(m.p.getMark(), 0);
}

TEST_F(SANModelTest, ModelWithoutUnsharedPlacesHasNoLocalState) {
  Place only("only", 3);
  BaseStateVariableClass* places[] = {&only};
  SANModel m("solo", 1, places, 0, nullptr, 0, nullptr, 0, nullptr);
  EXPECT_TRUE(m.HasLocalState());
  Place top("top", 0);
  top.ShareWith(&only);
  EXPECT_FALSE(m.HasLocalState());
  EXPECT_EQ(m.StateSize(), 0);
}

// Bytes 1 and 255 read as signed are 1 and -1: 1*2 + (-1)*3 = -1, which is
// 4294967295 as an unsigned 32-bit value.
TEST_F(SANModelTest, HashWeighsSignedBytesWithPrimes) {
  TwoByteModel two(1, 255);
  State* s = Snapshot(&two.model);
  EXPECT_EQ(s->hash(), 4294967295u);
  two.model.DestructLocalState(s);
  unsigned char none = 0;
  EXPECT_EQ(HashStateBytes(&none, 0), 0u);
  EXPECT_EQ(primes[0], 2u);
  EXPECT_EQ(primes[255], 1619u);
  // Byte 256 wraps to the first prime again: 2*1 + ... + 2*1.
  unsigned char bytes[257] = {};
  bytes[0] = 1;
  bytes[256] = 1;
  EXPECT_EQ(HashStateBytes(bytes, 257), 4u);
}

TEST_F(SANModelTest, CompareOrdersBytesUnsigned) {
  TwoByteModel high(0x80, 0);
  TwoByteModel low(0x01, 0);
  TwoByteModel same(0x80, 0);
  State* h = Snapshot(&high.model);
  State* l = Snapshot(&low.model);
  State* s = Snapshot(&same.model);
  EXPECT_EQ(h->compare(*l), 1);
  EXPECT_EQ(l->compare(*h), -1);
  EXPECT_EQ(h->compare(*s), 0);
  *l = *h;  // same length: bytes copied
  EXPECT_EQ(l->compare(*h), 0);
  high.model.DestructLocalState(h);
  low.model.DestructLocalState(l);
  same.model.DestructLocalState(s);
  high.model.DestructLocalState(nullptr);
}

TEST_F(SANModelTest, SnapshotRestoresTheModelAndPrintsItsBytes) {
  TwoByteModel two(3, 0xFE);
  State* s = Snapshot(&two.model);
  two.place.setMark(0);
  two.model.SetLocalState(s);
  unsigned char back[2];
  two.place.CurrentState(back);
  EXPECT_EQ(back[0], 3);
  EXPECT_EQ(back[1], 0xFE);
  EXPECT_EQ(std::memcmp(s->GetStatePtr(), back, 2), 0);
  testing::internal::CaptureStdout();
  s->print();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "    3   -2\n");
  two.model.DestructLocalState(s);
}

TEST_F(SANModelTest, AssigningSnapshotsOfDifferentLengthsIsAProgrammingError) {
  EXPECT_DEATH(
      {
        TestSAN big;
        TwoByteModel two(0, 0);
        State* a = Snapshot(&big);
        State* b = Snapshot(&two.model);
        *a = *b;
      },
      "Assertion failed: size == _localS->size, file SANModel");
}

TEST_F(SANModelTest, RecordRoundTripAndForeignRecordsAreRefused) {
  TestSAN m;
  State* s = Snapshot(&m);
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(s->fwriteState(file));
  // The record is a 4-byte length, then the 6 bytes.
  EXPECT_EQ(std::ftell(file), 10);
  m.p.setMark(0);
  m.r.setMark(0);
  State* read = nullptr;
  m.ConstructLocalState(read);
  std::rewind(file);
  EXPECT_FALSE(read->freadState(file));
  EXPECT_EQ(read->compare(*s), 0);

  // A record of another length: refused, state untouched, nothing overrun.
  TwoByteModel two(7, 7);
  State* small = Snapshot(&two.model);
  std::rewind(file);
  EXPECT_TRUE(small->freadState(file));
  const unsigned char* bytes = static_cast<const unsigned char*>(small->GetStatePtr());
  EXPECT_EQ(bytes[0], 7);
  EXPECT_EQ(bytes[1], 7);
  // A record cut short: refused, state untouched.
  FILE* cut = std::tmpfile();
  ASSERT_NE(cut, nullptr);
  int length = 2;
  std::fwrite(&length, sizeof length, 1, cut);
  std::fputc(1, cut);
  std::rewind(cut);
  EXPECT_TRUE(small->freadState(cut));
  EXPECT_EQ(bytes[0], 7);
  // An empty file: no length at all.
  std::rewind(cut);
  std::fclose(cut);
  FILE* empty = std::tmpfile();
  EXPECT_TRUE(small->freadState(empty));
  std::fclose(empty);
  std::fclose(file);
  m.DestructLocalState(s);
  m.DestructLocalState(read);
  two.model.DestructLocalState(small);
}

TEST_F(SANModelTest, ListingByNames) {
  TestSAN m("ram_system");
  List<BaseStateVariableClass> svs;
  List<BaseModelClass> models;
  m.listSVs("ram_system", "r", &svs, &models);
  m.listSVs("ram_system", "ro", &svs, &models);
  m.listSVs("other", "p", &svs, &models);
  ASSERT_EQ(svs.getNumItems(), 2);
  EXPECT_EQ(svs.getItem(0), &m.r);
  EXPECT_EQ(svs.getItem(1), &m.ro);
  ASSERT_EQ(models.getNumItems(), 1);
  EXPECT_EQ(models.getItem(0), &m);
  List<BaseModelClass> found;
  m.listModels("ram_system", &found);
  m.listModels("ram", &found);
  EXPECT_EQ(found.getNumItems(), 1);
  List<BaseActionClass> actions;
  m.listActions("c2", &actions);
  m.listActions("nothing", &actions);
  ASSERT_EQ(actions.getNumItems(), 1);
  EXPECT_EQ(actions.getItem(0), &m.c2);
  List<BaseActionClass> all;
  m.listActions(&all);
  EXPECT_EQ(all.getNumItems(), 4);
  EXPECT_EQ(all.getItem(3), &m.c2);
  List<BaseGroupClass> groups;
  m.listGroups(&groups);
  ASSERT_EQ(groups.getNumItems(), 3);
  EXPECT_EQ(groups.getItem(2), &m.cases);
}

TEST_F(SANModelTest, PrintStateListsPlacesThenReadOnlyPlaces) {
  TestSAN m("net");
  std::ostringstream out;
  m.printState(&out);
  EXPECT_EQ(out.str(), "Model: (1)net\n  p = 1\n  q = 0\n  r = 2\n  ro = 4\n");
}

TEST_F(SANModelTest, GlobalActionsAreThoseOnPlacesSharedAway) {
  TestSAN m;
  slist local;
  slist global;
  m.GetLocalActions(local);
  m.GetGlobalActions(global);
  EXPECT_TRUE(global.empty());
  // Pushed at the front in activity order: the list reads backwards.
  slist expectedAll = {&m.c2, &m.c1, &m.idle, &m.move};
  EXPECT_EQ(local, expectedAll);

  // q and r are shared into composer places, which stay representatives.
  Place topQ("q", 0);
  Place topR("r", 0);
  topQ.ShareWith(&m.q);
  topR.ShareWith(&m.r);
  slist local2;
  slist global2 = {nullptr};  // both add to what the list holds
  m.GetLocalActions(local2);
  m.GetGlobalActions(global2);
  // move (on q), c1 and c2 (on r), pushed in id order: c2 ends up first.
  slist expectedGlobal = {&m.c2, &m.c1, &m.move, nullptr};
  EXPECT_EQ(global2, expectedGlobal);
  slist expectedLocal = {&m.idle};
  EXPECT_EQ(local2, expectedLocal);
}

TEST_F(SANModelTest, PrintSANModelInfoListing) {
  TestSAN m;
  m.move.groupId = 0;
  m.idle.groupId = 1;
  m.c1.groupId = 2;
  m.c2.groupId = 2;
  testing::internal::CaptureStdout();
  m.PrintSANModelInfo();
  std::string out = testing::internal::GetCapturedStdout();
  std::string expected =
      "SANModelInfo\n"
      "Number of Actions = 4, Number of Groups = 3, Number of State Variables = 4\n"
      "ActionName = move\nGroup Id = 0\nDistributionType = 1\nExecutionPolicy = 1\n"
      "Number of affected state variables = 2\n"
      "Number of enabling state variables = 1\n"
      "ActionName = idle\nGroup Id = 1\nDistributionType = 1\nExecutionPolicy = 1\n"
      "Number of affected state variables = 0\n"
      "Number of enabling state variables = 0\n"
      "ActionName = c1\nGroup Id = 2\nDistributionType = 1\nExecutionPolicy = 1\n"
      "Number of affected state variables = 1\n"
      "Number of enabling state variables = 0\n"
      "ActionName = c2\nGroup Id = 2\nDistributionType = 1\nExecutionPolicy = 1\n"
      "Number of affected state variables = 1\n"
      "Number of enabling state variables = 0\n"
      "\n"
      "Group Name = move \nGroup Name = idle \nGroup Name = cases \n"
      "Place Name = p\nPlace Name = q\nPlace Name = r\n"
      "Read Only Place Name = ro\n";
  EXPECT_EQ(out, expected);
}

TEST_F(SANModelTest, TrapsAreFatalAssertionsNamingTheUnit) {
  BareModel bare;
  EXPECT_EQ(bare.getNumStateVariables(), 0);
  EXPECT_EQ(bare.GetSharedStateVariables(), nullptr);
  EXPECT_EQ(bare.getListOfSharedVariables(nullptr), nullptr);
  EXPECT_DEATH(bare.GetModelType(), "Assertion failed: false, file BaseModelClass");
  EXPECT_DEATH(bare.HasLocalState(), "Assertion failed: false, file BaseModelClass");
  slist list;
  EXPECT_DEATH(bare.GetLocalActions(list), "file BaseModelClass");
  TestSAN m;
  EXPECT_DEATH(m.GetChild(0), "Assertion failed: false, file SANModel");
}

}  // namespace
