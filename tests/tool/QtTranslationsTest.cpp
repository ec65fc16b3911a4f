#include "QtTranslations.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

TEST(QtTranslationsTest, QtsOwnTextsFollowTheLocaleThatHasThem) {
    int argc = 1;
    char name[] = "quorvan";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };

    EXPECT_FALSE(quorvan::InstallQtTranslations(application, QLocale(QLocale::Icelandic)));
    EXPECT_EQ(cancel(), "Cancel");
    ASSERT_TRUE(quorvan::InstallQtTranslations(application, QLocale(QLocale::Spanish)));
    EXPECT_EQ(cancel(), "Cancelar");
}

}  // namespace
