list(APPEND VORLIX_CORE_SOURCES
  resample/Kernels.cpp
  resample/Contributors.cpp
  resample/SeparablePasses.cpp
  resample/ResampleThreads.cpp
  resample/ResampleReference.cpp
  resample/DirectResamplers.cpp
  resample/ExactDivision.cpp
  resample/PackedWeights.cpp
  resample/SimdPasses.cpp
  resample/FastSeparable.cpp
  resample/FastDirectResamplers.cpp
  resample/ResampleEx.cpp
)
