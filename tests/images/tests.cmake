vorlix_add_test_program(vorlix_images_tests
  images/ReferenceFilters.cpp
  images/CustomFilterTest.cpp
  images/DCTHighCutTest.cpp
  images/EdgePreservingMedianTest.cpp
  images/UpscalePrefilterTest.cpp
  images/ColorSpaceTest.cpp
  images/commonColorTest.cpp
)
# The reference transform must round exactly as the production one.
set_source_files_properties(images/ReferenceFilters.cpp PROPERTIES COMPILE_OPTIONS "-ffp-contract=off")
