#include "RefCounted.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using vyrd::CRefCounted;
using vyrd::MakeRef;
using vyrd::RefPtr;

struct Probe : CRefCounted {
    explicit Probe(int* deaths) : deaths_(deaths) {}
    ~Probe() override { ++*deaths_; }
    int* deaths_;
};

struct DerivedProbe : Probe {
    using Probe::Probe;
};

TEST(RefCounted, StartsWithOneReferenceAndDeletesAtZero) {
    int deaths = 0;
    auto* p = new Probe(&deaths);
    EXPECT_EQ(p->RefCount(), 1);
    EXPECT_EQ(p->AddRef(), 2);
    EXPECT_EQ(p->Release(), 1);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(p->Release(), 0);
    EXPECT_EQ(deaths, 1);
}

TEST(RefPtr, AdoptTakesOverTheCallersReference) {
    int deaths = 0;
    {
        RefPtr<Probe> r = RefPtr<Probe>::Adopt(new Probe(&deaths));
        EXPECT_EQ(r->RefCount(), 1);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(RefPtr, ShareAddsAReference) {
    int deaths = 0;
    auto* p = new Probe(&deaths);
    {
        RefPtr<Probe> r = RefPtr<Probe>::Share(p);
        EXPECT_EQ(p->RefCount(), 2);
    }
    EXPECT_EQ(p->RefCount(), 1);
    EXPECT_EQ(deaths, 0);
    p->Release();
    EXPECT_EQ(deaths, 1);
}

TEST(RefPtr, CopiesAndMovesKeepTheCountExact) {
    int deaths = 0;
    RefPtr<Probe> a = MakeRef<Probe>(&deaths);
    RefPtr<Probe> b = a;
    EXPECT_EQ(a->RefCount(), 2);
    RefPtr<Probe> c = std::move(b);
    EXPECT_EQ(b.get(), nullptr);
    EXPECT_EQ(a->RefCount(), 2);
    c = a;  // self-family assignment: same object, count stays
    EXPECT_EQ(a->RefCount(), 2);
    c = nullptr;
    EXPECT_EQ(a->RefCount(), 1);
    a = std::move(a);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->RefCount(), 1);
    a.reset();
    EXPECT_FALSE(a);
    EXPECT_EQ(deaths, 1);
}

TEST(RefPtr, AssignmentReleasesThePreviousObject) {
    int deathsA = 0;
    int deathsB = 0;
    RefPtr<Probe> r = MakeRef<Probe>(&deathsA);
    r = MakeRef<Probe>(&deathsB);
    EXPECT_EQ(deathsA, 1);
    EXPECT_EQ(deathsB, 0);
    EXPECT_EQ(r->RefCount(), 1);
}

TEST(RefPtr, DetachHandsTheReferenceOut) {
    int deaths = 0;
    RefPtr<Probe> r = MakeRef<Probe>(&deaths);
    Probe* raw = r.detach();
    EXPECT_FALSE(r);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(raw->RefCount(), 1);
    raw->Release();
    EXPECT_EQ(deaths, 1);
}

TEST(RefPtr, ConvertsFromDerived) {
    int deaths = 0;
    RefPtr<DerivedProbe> d = MakeRef<DerivedProbe>(&deaths);
    RefPtr<Probe> base = d;
    EXPECT_EQ(base->RefCount(), 2);
    RefPtr<CRefCounted> moved = std::move(d);
    EXPECT_FALSE(d);
    EXPECT_EQ(base->RefCount(), 2);
    base.reset();
    moved.reset();
    EXPECT_EQ(deaths, 1);
}

}  // namespace
