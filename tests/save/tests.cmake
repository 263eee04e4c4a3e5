vorlix_add_test_program(vorlix_save_tests
  save/JPEGSessionTest.cpp
)
