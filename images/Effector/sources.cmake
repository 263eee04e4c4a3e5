list(APPEND VORLIX_CORE_SOURCES
  images/Effector/CustomFilter.cpp
  images/Effector/RowConvolver.cpp
  images/Effector/EdgePreservingMedian.cpp
  images/Effector/DCTCoreUnit.cpp
  images/Effector/DCTUtils.cpp
  images/Effector/UpscalePrefilter.cpp
  images/Effector/ColorSpace.cpp
  images/Effector/commonColor.cpp
)
# The transforms round after every multiplication and addition; a fused
# multiply-add (contraction is allowed by default for C++ and used as soon
# as the target has FMA) would round once and change the bytes.
set_source_files_properties(
  images/Effector/DCTCoreUnit.cpp
  images/Effector/DCTUtils.cpp
  PROPERTIES COMPILE_OPTIONS "-ffp-contract=off")
