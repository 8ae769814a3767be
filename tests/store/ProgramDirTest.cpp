#include "ProgramDir.h"
#include "TempDir.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace nodalyx;

TEST(ProgramDir, DirOptionIsCreatedAndUsed) {
    test::TempDir tmp;
    const QString wanted = tmp.file("sub/dir");
    EXPECT_EQ(resolveProgramDir(wanted), wanted);
    EXPECT_TRUE(QFileInfo(wanted).isDir());
}
