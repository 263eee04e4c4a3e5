list(APPEND VORLIX_CORE_SOURCES
  images/Effector/ColorSpace.cpp
  images/Effector/commonColor.cpp
)
