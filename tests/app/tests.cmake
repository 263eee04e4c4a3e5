# What needs no display.
vorlix_add_test_program(vorlix_app_core_tests
  app/ComLineEXTest.cpp
  app/SettingsTest.cpp
  app/SizeCouplingTest.cpp
  app/TestCardTest.cpp
)
