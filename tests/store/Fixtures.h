#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The hand-written files below tests/store/data (Windows-1252, CR LF).
inline QByteArray fixture(const char* relative) {
    QFile file(QStringLiteral(NODALYX_TEST_DATA "/") + QLatin1String(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

#include "ScriptedOperator.h"
#include "SharedState.h"
#include "TempDir.h"

#include <gtest/gtest.h>

// A fresh program directory, a state that uses it and an operator double.
struct StoreTest : ::testing::Test {
    StoreTest() { state.programDir = dir.path(); }
    nodalyx::test::TempDir dir;
    nodalyx::test::ScriptedOperator op;
    nodalyx::SharedState state;
};
