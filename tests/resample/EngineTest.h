#pragma once
// The fixture of the tests that hold the fast paths to a reference: they
// switch thread counts and instruction sets, and every test starts with
// result pixels a resampler leaves unwritten showing as a marker byte
// instead of reused memory's old bytes. All of it is put back afterwards.

#include <gtest/gtest.h>

#include <hwy/targets.h>

#include "platform/Bitmap.h"
#include "resample/ResampleThreads.h"

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { TBitmap::SetOverwriteFill(0x5A); }
    void TearDown() override {
        SetResampleThreads(0);
        hwy::SetSupportedTargetsForTest(0);
        TBitmap::SetOverwriteFill(-1);
    }
};
