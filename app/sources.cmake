list(APPEND VORLIX_CORE_SOURCES
  app/ComLineEX.cpp
  app/EvalThroughput.cpp
  app/FormatType.cpp
  app/Settings.cpp
  app/SamplePage.cpp
  app/SizeCoupling.cpp
  app/StartUp.cpp
  app/TestCard.cpp
)
list(APPEND VORLIX_GUI_SOURCES
  app/CommandGuard.cpp
  app/Components.cpp
  app/DesktopIcons.cpp
  app/EvtScroll.cpp
  app/ImageControl.cpp
  app/LanguageWidgets.cpp
  app/NumEdit.cpp
  app/OpenPictureDialog.cpp
  app/SaveFlowMessages.cpp
  app/QtTranslations.cpp
  app/Unit1.cpp
  app/dlgPrefix.cpp
  app/dlgSampleOutputFormat.cpp
  app/WindowMessages.cpp
)
