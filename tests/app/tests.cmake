vorlix_add_test_program(vorlix_app_core_tests
  app/SizeCouplingTest.cpp
  app/TestCardTest.cpp
)
