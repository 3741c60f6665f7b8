#pragma once

// The two arithmetic paths of the processing chain, as a test parameter:
// suites that drive the engine run once on each.
//
//   INSTANTIATE_TEST_SUITE_P(EnginePaths, Suite, testsupport::kEnginePaths, testsupport::EnginePathName);

#include "dsp/ProcessingChain.h"

#include <gtest/gtest.h>

#include <string>

namespace testsupport
{

inline const auto kEnginePaths = ::testing::Values(iplug::EnginePath::Scalar, iplug::EnginePath::Vector);

inline std::string EnginePathName(const ::testing::TestParamInfo<iplug::EnginePath>& info)
{
  return info.param == iplug::EnginePath::Scalar ? "Scalar" : "Vector";
}

} // namespace testsupport
