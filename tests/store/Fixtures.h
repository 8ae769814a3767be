#pragma once

#include "ScriptedOperator.h"
#include "SharedState.h"
#include "TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

// The hand-written files below tests/store/data (Windows-1252, CR LF).
inline QByteArray fixture(const char* relative) {
    QFile file(QStringLiteral(NODALYX_TEST_DATA "/") + QLatin1String(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first line of a location file as the programs write it.
inline const QByteArray kLocationHeader =
    "Site: configuration file for VeraDazadizaro 06-12-2026 08:15\r\n";

// The fixture highway file, its header changed for highway 2 when asked.
inline QByteArray highwayFixture(int highway) {
    return fixture("Site/HW01.ini").replace("HW01]", "HW0" + QByteArray::number(highway) + "]");
}

// A fresh program directory, a state that uses it and an operator double.
struct StoreTest : ::testing::Test {
    StoreTest() { state.programDir = dir.path(); }
    nodalyx::test::TempDir dir;
    nodalyx::test::ScriptedOperator op;
    nodalyx::SharedState state;
};
