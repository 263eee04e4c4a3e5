list(APPEND VORLIX_CORE_SOURCES
  resample/Kernels.cpp
  resample/Contributors.cpp
  resample/SeparablePasses.cpp
  resample/ResampleThreads.cpp
  resample/ResampleReference.cpp
  resample/DirectResamplers.cpp
  resample/FastSeparable.cpp
  resample/FastDirectResamplers.cpp
  resample/FastNearest.cpp
  resample/FastAverage.cpp
  resample/FastAverageKernels.cpp
  resample/FastBilinearV2.cpp
  resample/FastLifting.cpp
  resample/ResampleEx.cpp
)
