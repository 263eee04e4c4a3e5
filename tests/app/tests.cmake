# What needs no display.
vorlix_add_test_program(vorlix_app_core_tests
  app/ComLineEXTest.cpp
  app/SettingsTest.cpp
  app/SizeCouplingTest.cpp
  app/TestCardTest.cpp
  app/SamplePageTest.cpp
)

# The windows, on Qt's offscreen platform.
if(TARGET vorlix_gui)
  add_executable(vorlix_app_tests
    app/GuiTestMain.cpp
    app/ControlsTest.cpp
    app/MainWindowTest.cpp
    app/MainWindowFeedbackTest.cpp
    app/LanguageTest.cpp
    app/SaveFlowTest.cpp
    app/SamplePageWindowTest.cpp
  )
  target_link_libraries(vorlix_app_tests PRIVATE vorlix_gui vorlix_warnings GTest::gtest Qt6::Test)
  target_include_directories(vorlix_app_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(vorlix_app_tests PRIVATE VORLIX_TEST_DATA_DIR="${VORLIX_TEST_DATA_DIR}"
    VORLIX_LANGUAGE_SOURCE_DIR="${VORLIX_LANGUAGE_SOURCE_DIR}")
  gtest_discover_tests(vorlix_app_tests DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 600 ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endif()
