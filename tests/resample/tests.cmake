vorlix_add_test_program(vorlix_resample_tests
  resample/KernelsTest.cpp
  resample/ContributorsTest.cpp
  resample/SeparableResampleTest.cpp
  resample/DirectResamplersTest.cpp
  resample/NaiveReferenceTest.cpp
  resample/FastDirectResamplersTest.cpp
)
