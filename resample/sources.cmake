list(APPEND VORLIX_CORE_SOURCES
  resample/Kernels.cpp
  resample/Contributors.cpp
  resample/SeparablePasses.cpp
  resample/ResampleEx.cpp
  resample/DirectResamplers.cpp
)
