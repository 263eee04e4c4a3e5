# Each source folder lists its own files, so work in one folder never touches
# another folder's list. Files that need Qt are listed as *_GUI_SOURCES and
# only go into the GUI target.
set(VORLIX_CORE_SOURCES)
set(VORLIX_GUI_SOURCES)
foreach(dir platform resample images/Effector lang formats save app)
  include(${CMAKE_CURRENT_LIST_DIR}/../${dir}/sources.cmake OPTIONAL)
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/../cli/sources.cmake)
