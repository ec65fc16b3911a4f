#include <gtest/gtest.h>

#include <memory>

#include "ObjList.h"

namespace baslink {
namespace {

// Item classes of a user of the library, two levels below the root.
class TBaseRecord : public TObject {
    BASLINK_CLASS(TBaseRecord, TObject)
};

class TDerivedRecord : public TBaseRecord {
    BASLINK_CLASS(TDerivedRecord, TBaseRecord)
};

// No default constructor: it cannot be made from its reference.
class TNeedsArgument : public TObject {
    BASLINK_CLASS(TNeedsArgument, TObject)
    explicit TNeedsArgument(int) {}
};

TEST(ClassInfo, AnObjectKnowsItsClassNameAndEveryAncestor) {
    TCircularList circular(TObject::StaticClass());
    const TObject& seenAsRoot = circular;
    EXPECT_EQ("TCircularList", seenAsRoot.ClassName());
    EXPECT_EQ(TCircularList::StaticClass(), seenAsRoot.ClassType());
    for (TClassRef ancestor :
         {TCircularList::StaticClass(), TUnorderedList::StaticClass(), TOrderedList::StaticClass(),
          TNodeContainer::StaticClass(), TContainer::StaticClass(), TObject::StaticClass()}) {
        EXPECT_TRUE(seenAsRoot.InheritsFrom(ancestor)) << ancestor->Name();
    }
    EXPECT_FALSE(seenAsRoot.InheritsFrom(TNode::StaticClass()));
    EXPECT_FALSE(seenAsRoot.InheritsFrom(nullptr));
    EXPECT_FALSE(TOrderedList().InheritsFrom(TUnorderedList::StaticClass()));

    EXPECT_TRUE(TDerivedRecord().InheritsFrom(TBaseRecord::StaticClass()));
    EXPECT_FALSE(TBaseRecord().InheritsFrom(TDerivedRecord::StaticClass()));
    EXPECT_EQ(nullptr, TObject::StaticClass()->Parent());
}

TEST(ClassInfo, NewInstanceMakesAnEmptyObjectOfTheReferencedClass) {
    for (TClassRef cls : {TOrderedList::StaticClass(), TUnorderedList::StaticClass(),
                          TCircularList::StaticClass()}) {
        std::unique_ptr<TObject> made = cls->NewInstance();
        ASSERT_NE(nullptr, made) << cls->Name();
        EXPECT_EQ(cls, made->ClassType());
        auto* list = static_cast<TOrderedList*>(made.get());
        EXPECT_TRUE(list->IsEmpty());
        EXPECT_TRUE(list->GetOwnsItems());
        EXPECT_EQ(nullptr, list->GetItemClass());
    }
    EXPECT_EQ("TDerivedRecord", TDerivedRecord::StaticClass()->NewInstance()->ClassName());

    for (TClassRef cls : {TContainer::StaticClass(), TNodeContainer::StaticClass(),
                          TNeedsArgument::StaticClass()}) {
        EXPECT_FALSE(cls->CanCreate()) << cls->Name();
        EXPECT_EQ(nullptr, cls->NewInstance()) << cls->Name();
    }
}

}  // namespace
}  // namespace baslink
