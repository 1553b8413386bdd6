// Tests of the composer base: hashing, gathered tables and group ids,
// shared-variable registration, equivalence lists down to the leaves,
// listing and printing.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "ComposerTestModels.h"
#include "framework/BaseGroupClass.h"

namespace {

using composertest::CellJoin;
using composertest::CellRep;
using composertest::CellSAN;

// Collects the (variable, model) pairs of an equivalence list.
std::vector<std::pair<BaseStateVariableClass*, BaseModelClass*>> Chain(
    const SharedStateVarLink* link) {
  std::vector<std::pair<BaseStateVariableClass*, BaseModelClass*>> out;
  for (; link != nullptr; link = link->getNext())
    out.emplace_back(link->getStateVar(), link->getModel());
  return out;
}

TEST(ComposerHashTest, ShiftsByFiveBitsPerCharacter) {
  // (97 * 32 + 98) mod 100 = 3202 mod 100 = 2.
  EXPECT_EQ(BaseComposerClass::Hash("ab", 100), 2);
  EXPECT_EQ(BaseComposerClass::Hash("", 7), 0);
  // A byte above 127 counts as a negative char: 0 * 32 + (-1) wraps to
  // 4294967295, which is 5 mod 10.
  EXPECT_EQ(BaseComposerClass::Hash("\xff", 10), 5);
  // Seven characters overflow 32 bits: h wraps modulo 2^32. For "aaaaaaa"
  // the sum of 97 * 32^k for k = 0..6 is 107512729729; mod 2^32 that is
  // 138547329 (107512729729 - 25 * 4294967296), which is 329 mod 1000.
  EXPECT_EQ(BaseComposerClass::Hash("aaaaaaa", 1000), 329);
}

TEST(ComposerTablesTest, ActionsAndGroupsGatheredInChildOrderWithRenumberedIds) {
  CellJoin join(2);
  // single (2 activities) then the replicate (2 replicas x 2 activities).
  ASSERT_EQ(join.getNumActions(), 6);
  ASSERT_EQ(join.getNumGroups(), 6);
  BaseActionClass* expected[] = {&join.single->first,        &join.single->second,
                                 &join.rep->cells[0]->first, &join.rep->cells[0]->second,
                                 &join.rep->cells[1]->first, &join.rep->cells[1]->second};
  for (int i = 0; i < 6; i++) {
    EXPECT_EQ(join.getActions()[i], expected[i]) << i;
    EXPECT_EQ(join.getGroups()[i], expected[i]) << i;
    // The top table's positions are the group ids, replacing the
    // replicate's own numbering (0 .. 3).
    EXPECT_EQ(join.getGroups()[i]->getGroupId(), i);
  }
  List<BaseActionClass> actions;
  join.listActions(&actions);
  EXPECT_EQ(actions.getNumItems(), 6);
  List<BaseGroupClass> groups;
  join.listGroups(&groups);
  EXPECT_EQ(groups.getNumItems(), 6);
}

TEST(ComposerSharingTest, EquivalenceListReachesLeavesTwoLevelsDown) {
  CellJoin join(3);
  CellRep* rep = join.rep;
  // The replicate's list: each replica's z, registered without a model.
  auto repChain = Chain(rep->getListOfSharedVariables(rep->zPlace));
  ASSERT_EQ(repChain.size(), 3u);
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(repChain[i].first, &rep->cells[i]->z);
    EXPECT_EQ(repChain[i].second, nullptr);
  }
  // The join's list: single's z, the replicate's z, then the replicate's
  // chain (the leaves), in that order.
  auto joinChain = Chain(join.getListOfSharedVariables(join.zPlace));
  ASSERT_EQ(joinChain.size(), 5u);
  EXPECT_EQ(joinChain[0].first, &join.single->z);
  EXPECT_EQ(joinChain[0].second, join.single);
  EXPECT_EQ(joinChain[1].first, rep->zPlace);
  EXPECT_EQ(joinChain[1].second, rep);
  for (int i = 0; i < 3; i++) EXPECT_EQ(joinChain[2 + i].first, &rep->cells[i]->z);
  // The replicate's own chain is untouched by the join (a copy was taken).
  EXPECT_EQ(Chain(rep->getListOfSharedVariables(rep->zPlace)).size(), 3u);
  // Asked at the top, a variable of a composer below is answered by the child.
  EXPECT_EQ(join.getListOfSharedVariables(rep->zPlace), rep->getListOfSharedVariables(rep->zPlace));
  EXPECT_EQ(join.getListOfSharedVariables(&join.single->x), nullptr);
}

TEST(ComposerSharingTest, MainSharedVariableIsTheTopMostComposersPlace) {
  CellJoin join(2);
  EXPECT_EQ(join.getMainSharedVariable(&join.rep->cells[1]->z), join.zPlace);
  EXPECT_EQ(join.getMainSharedVariable(join.rep->zPlace), join.zPlace);
  EXPECT_EQ(join.rep->getMainSharedVariable(&join.rep->cells[1]->z), join.rep->zPlace);
  EXPECT_EQ(join.getMainSharedVariable(&join.rep->cells[1]->x), nullptr);
  EXPECT_EQ(join.GetSharedStateVariables()[0], join.zPlace);
}

TEST(ComposerSharingTest, SharingListsAndNames) {
  CellJoin join(2);
  EXPECT_EQ(join.getAddedSharedPtrs(), 1);
  EXPECT_STREQ(join.getSharedStateName(0), "z");
  List<BaseStateVariableClass>* list = join.getSharingList(0);
  ASSERT_EQ(list->getNumItems(), 2);
  EXPECT_EQ(list->getItem(0), &join.single->z);
  EXPECT_EQ(list->getItem(1), join.rep->zPlace);
}

TEST(ComposerSharingTest, NoChildrenMeansNoSharedVariables) {
  char name[] = "z";
  char* names[] = {name};
  Join join("lonely", 0, 1, names);
  EXPECT_EQ(join.getNumSharedStateVariables(), 0);
  EXPECT_TRUE(join.AllChildrenEmpty());
  EXPECT_EQ(join.SharedStateSize(), 0);
}

TEST(ComposerSharingDeathTest, RegistrationOutOfDeclaredOrderStops) {
  char first[] = "p";
  char second[] = "q";
  char* names[] = {first, second};
  CellSAN cell;
  EXPECT_DEATH(
      {
        Join join("order", 1, 2, names);
        Place q("q");
        join.addSharedPtr(&q, "q");
      },
      "Assertion failed: 0 == strcmp\\(VarName, SharedStateNames\\[AddedSharedPtrs\\]\\), file "
      "BaseComposerClass");
  EXPECT_DEATH(
      {
        Join join("count", 1, 0, names);
        Place p("p");
        join.addSharedPtr(&p, "p");
      },
      "Assertion failed: AddedSharedPtrs < NumSharedStateVariables, file BaseComposerClass");
  EXPECT_DEATH(
      {
        Join join("unknown", 1, 1, names);
        Place p("p");
        join.addSharingInfo(&cell.z, &p, &cell);
      },
      "Assertion failed: VarIndex != -1, file BaseComposerClass");
}

TEST(ComposerListingTest, ListingQueriesReachEveryChild) {
  CellJoin join(2);
  List<BaseModelClass> models;
  join.listModels("cell", &models);
  ASSERT_EQ(models.getNumItems(), 2);  // the two replicas, not "single"
  EXPECT_EQ(models.getItem(0), join.rep->cells[0]);

  List<BaseStateVariableClass> vars;
  List<BaseModelClass> owners;
  join.listSVs("cell", "x", &vars, &owners);
  ASSERT_EQ(vars.getNumItems(), 2);
  EXPECT_EQ(vars.getItem(1), &join.rep->cells[1]->x);
  EXPECT_EQ(owners.getItem(1), join.rep->cells[1]);

  List<BaseActionClass> named;
  join.listActions("dec", &named);
  // Each SAN child appends its first "dec": single and both replicas.
  ASSERT_EQ(named.getNumItems(), 3);
  EXPECT_EQ(named.getItem(0), &join.single->second);
}

TEST(ComposerPrintTest, PrintStateListsChildrenThenStoredSharedVariables) {
  CellJoin join(1);
  join.single->x.setMark(1);
  join.zPlace->setMark(4);
  std::ostringstream out;
  join.printState(&out);
  // Each SAN block is "Model: (<id>)<name>" and one "  <place> = <mark>"
  // line per place; the replicate's z no longer owns storage, so only
  // the join lists a shared variable.
  auto header = [](BaseModelClass* m) {
    return "Model: (" + std::to_string(m->getModelId()) + ")" + m->getName() + "\n";
  };
  std::string expected = header(&join) + header(join.single) + "  x = 1\n  y = 0\n  z = 4\n" +
                         header(join.rep) + header(join.rep->cells[0]) +
                         "  x = 0\n  y = 0\n  z = 4\n" + "Shared Variables:\n" +
                         "Shared Variables:\n" + "  z = 4\n";
  EXPECT_EQ(out.str(), expected);
}

TEST(ComposerPrintTest, PrintAllSharedVariablesShowsEachChain) {
  CellRep rep(2);
  testing::internal::CaptureStdout();
  rep.printAllSharedVariables();
  std::ostringstream expected;
  expected << "Shared Variables for composer node cells\n"
           << "  Shared Variable 0 has name z and address " << static_cast<void*>(rep.zPlace)
           << "\n"
           << "    And here is its list of equivalent variables:\n";
  for (int i = 0; i < 2; i++) {
    expected << "      This link holds state var z at address "
             << static_cast<void*>(&rep.cells[i]->z) << "\n";
  }
  expected << "\n";
  EXPECT_EQ(testing::internal::GetCapturedStdout(), expected.str());
}

}  // namespace
