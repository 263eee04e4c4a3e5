vorlix_add_test_program(vorlix_save_tests
  save/JPEGTestSupport.h
  save/ZetJPEGImageDecodeTest.cpp
  save/ZetJPEGImageEncodeTest.cpp
  save/ZetJPEGImageTest.cpp
  save/JPEGSessionTest.cpp
  save/KestruneFileTypesTest.cpp
  save/SaveDialogPassportTest.cpp
  save/SaveDispatchTest.cpp
  save/MagDcrWritersTest.cpp
  save/TargaSGIPCXWritersTest.cpp
  save/JPEGSaveTestSupport.h
  save/ZetJPEGCompressTest.cpp
  save/ExifSegmentTest.cpp
  save/ExifSaveTest.cpp
  save/SaveDialogRulesTest.cpp
)

# The save dialogs, on Qt's offscreen platform, and a program that shows them
# for a look by hand.
if(TARGET vorlix_gui)
  add_executable(vorlix_save_gui_tests
    app/GuiTestMain.cpp
    save/SaveDialogsTest.cpp
  )
  target_link_libraries(vorlix_save_gui_tests PRIVATE vorlix_gui vorlix_warnings GTest::gtest Qt6::Test)
  target_include_directories(vorlix_save_gui_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(vorlix_save_gui_tests PRIVATE VORLIX_LANGUAGE_SOURCE_DIR="${VORLIX_LANGUAGE_SOURCE_DIR}")
  gtest_discover_tests(vorlix_save_gui_tests DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 600 ENVIRONMENT QT_QPA_PLATFORM=offscreen)

  add_executable(vorlix_save_dialog_preview save/SaveDialogPreview.cpp)
  target_link_libraries(vorlix_save_dialog_preview PRIVATE vorlix_gui vorlix_warnings)
  target_include_directories(vorlix_save_dialog_preview PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(vorlix_save_dialog_preview PRIVATE
    VORLIX_LANGUAGE_SOURCE_DIR="${VORLIX_LANGUAGE_SOURCE_DIR}")
endif()
