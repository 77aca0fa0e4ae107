// The test AIDA system's tuples, on which the tuple module's tests rest:
// column descriptions, typed fills, nested tuples, reading and the dump.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "AIDA/AIDA.h"
#include "TestAidaFixture.h"

namespace {

const std::string kExample =
    "int event =0,  tracks =0; ITuple momentums  = { double px = .2, py = 3., pz = 0., ITuple hits = {int x,y,z} "
    "}; float ipx, ipy, ipz";

// The test AIDA system with a tuple factory on this test's folder.
class TestAidaTuples : public aidatest::TestAidaFixture {
protected:
    void SetUp() override {
        aidatest::TestAidaFixture::SetUp();
        if (HasFatalFailure()) return;
        tuples.reset(factory->createTupleFactory(*tree));
        ASSERT_NE(nullptr, tuples);
    }

    std::unique_ptr<AIDA::ITupleFactory> tuples;
};

TEST_F(TestAidaTuples, DescriptionGivesTypedAndNestedColumns) {
    AIDA::ITuple* t = tuples->create("t", "Title", kExample, "");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ("Title", t->title());
    EXPECT_EQ((std::vector<std::string>{"event", "tracks", "momentums", "ipx", "ipy", "ipz"}), t->columnNames());
    EXPECT_EQ((std::vector<std::string>{"int", "int", "ITuple", "float", "float", "float"}), t->columnTypes());
    EXPECT_EQ(2, t->findColumn("momentums"));
    EXPECT_EQ(-1, t->findColumn("px"));
    AIDA::ITuple* momentums = t->getTuple(2);
    ASSERT_NE(nullptr, momentums);
    EXPECT_EQ((std::vector<std::string>{"px", "py", "pz", "hits"}), momentums->columnNames());
    EXPECT_EQ("ITuple", momentums->columnType(3));
    ASSERT_NE(nullptr, momentums->getTuple(3));
    EXPECT_EQ((std::vector<std::string>{"int", "int", "int"}), momentums->getTuple(3)->columnTypes());
    EXPECT_EQ(nullptr, t->getTuple(0));
    EXPECT_EQ((std::vector<std::string>{"ITuple"}), tree->listObjectTypes(".", false));
    AIDA::IManagedObject* found = tree->find(base + "/t");
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(t, static_cast<AIDA::ITuple*>(found->cast("ITuple")));
    EXPECT_EQ(t, dynamic_cast<AIDA::ITuple*>(found));

    AIDA::ITuple* listed = tuples->create("l", "L", {"a", "b"}, {"double", "string"}, "");
    ASSERT_NE(nullptr, listed);
    EXPECT_EQ((std::vector<std::string>{"double", "string"}), listed->columnTypes());
}

TEST_F(TestAidaTuples, DescriptionsThatDoNotParseGiveNoTuple) {
    for (const char* text : {"", " ; ", "complex z", "x", "int", "int a b", "int a = x", "boolean b = 2",
                             "char c = ab", "int a; ITuple t = { }", "ITuple t = { int a", "int a }",
                             "ITuple t", "Tuple t = { int a }", "ITuple t = { int a } x", "long a, ITuple b"})
        EXPECT_EQ(nullptr, tuples->create("bad", "", text, "")) << text;
    EXPECT_EQ(nullptr, tuples->create("bad", "", {"a"}, {"double", "int"}, ""));
    EXPECT_EQ(nullptr, tuples->create("bad", "", {"a"}, {"ITuple"}, ""));
    EXPECT_EQ(nullptr, tuples->create("nofolder/bad", "", "int a", ""));
    EXPECT_NE(nullptr, tuples->create("ok", "", "int a;", ""));
}

TEST_F(TestAidaTuples, FillsConvertNumbersAndRefuseOtherKinds) {
    AIDA::ITuple* t = tuples->create(
        "t", "T", "double d = .5; float f; int i = 7; short s; long l; boolean b; string w = \"x y\"; char c", "");
    ASSERT_NE(nullptr, t);
    EXPECT_TRUE(t->addRow());  // defaults
    EXPECT_TRUE(t->fill(0, 3));
    EXPECT_TRUE(t->fill(1, 0.1));
    EXPECT_TRUE(t->fill(2, 2.9));
    EXPECT_TRUE(t->fill(3, 100000));
    EXPECT_TRUE(t->fill(4, -5L));
    EXPECT_TRUE(t->fill(5, true));
    EXPECT_TRUE(t->fill(6, std::string("word")));
    EXPECT_TRUE(t->fill(7, 'q'));
    EXPECT_FALSE(t->fill(5, 1.0));
    EXPECT_FALSE(t->fill(0, true));
    EXPECT_FALSE(t->fill(0, std::string("1")));
    EXPECT_FALSE(t->fill(6, 'q'));
    EXPECT_FALSE(t->fill(8, 1.0));
    EXPECT_FALSE(t->fill(-1, 1.0));
    EXPECT_TRUE(t->addRow());
    EXPECT_TRUE(t->fill(2, std::nan("")));
    EXPECT_TRUE(t->fill(3, -1e10));
    t->resetRow();
    EXPECT_TRUE(t->fill(std::vector<double>{1.5, 2.5}));
    EXPECT_FALSE(t->fill(std::vector<double>{1, 2, 3, 4, 5, 6}));  // column 5 is boolean
    EXPECT_TRUE(t->addRow());
    EXPECT_EQ(3, t->rows());
    EXPECT_EQ("ITuple " + base + "/t title=\"T\" rows=3 columns=double d, float f, int i, short s, long l, "
              "boolean b, string w, char c\n"
              "  row 0 d=0.5 f=0 i=7 s=0 l=0 b=false w=\"x y\" c=0\n"
              "  row 1 d=3 f=0.1 i=2 s=32767 l=-5 b=true w=\"word\" c=113\n"
              "  row 2 d=1 f=2 i=3 s=4 l=5 b=false w=\"x y\" c=0\n",
              dumpBelow(base));

    t->start();
    ASSERT_TRUE(t->next());
    EXPECT_DOUBLE_EQ(0.5, t->getDouble(0));
    EXPECT_EQ("x y", t->getString(6));
    ASSERT_TRUE(t->next());
    EXPECT_EQ(2, t->getInt(2));
    EXPECT_TRUE(t->getBool(5));
    EXPECT_EQ('q', t->getChar(7));
    EXPECT_FLOAT_EQ(0.1f, t->getFloat(1));
    ASSERT_TRUE(t->next());
    EXPECT_FALSE(t->next());
    EXPECT_TRUE(t->setRow(1));
    EXPECT_EQ(-5, t->getLong(4));
    EXPECT_FALSE(t->skip(5));
    t->reset();
    EXPECT_EQ(0, t->rows());
}

TEST_F(TestAidaTuples, NestedRowsBelongToTheParentRowBeingFilled) {
    AIDA::ITuple* t = tuples->create("t", "T", kExample, "");
    ASSERT_NE(nullptr, t);
    AIDA::ITuple* momentums = t->getTuple(2);
    AIDA::ITuple* hits = momentums->getTuple(3);
    hits->fill(0, 1);
    hits->addRow();
    momentums->fill(0, 1.5);
    momentums->addRow();
    momentums->addRow();
    t->fill(0, 42);
    t->addRow();
    EXPECT_NE(momentums, t->getTuple(2));
    EXPECT_EQ(0, t->getTuple(2)->rows());
    t->addRow();
    EXPECT_EQ("ITuple " + base + "/t title=\"T\" rows=2 columns=int event, int tracks, ITuple momentums = { "
              "double px, double py, double pz, ITuple hits = { int x, int y, int z } }, float ipx, float ipy, "
              "float ipz\n"
              "  row 0 event=42 tracks=0 momentums=[2 rows] ipx=0 ipy=0 ipz=0\n"
              "    momentums row 0 px=1.5 py=3 pz=0 hits=[1 rows]\n"
              "      momentums/hits row 0 x=1 y=0 z=0\n"
              "    momentums row 1 px=0.2 py=3 pz=0 hits=[0 rows]\n"
              "  row 1 event=0 tracks=0 momentums=[0 rows] ipx=0 ipy=0 ipz=0\n",
              dumpBelow(base));
    t->start();
    ASSERT_TRUE(t->next());
    ASSERT_NE(nullptr, t->getTuple(2));
    EXPECT_EQ(2, t->getTuple(2)->rows());
}

}  // namespace
