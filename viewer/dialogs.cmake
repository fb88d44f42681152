# The companion windows of the viewer (totals, unit report, export editing) and the hand-offs
# to other programs, with the worker they hand their reads and writes to, as a library the main
# window and the widget tests link.
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)

add_library(fennick_viewer_dialogs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/background_work.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cell_note.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialog_services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_totals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_unit_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hand_offs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save_file.cpp)
set_target_properties(fennick_viewer_dialogs PROPERTIES AUTOMOC ON)
target_include_directories(fennick_viewer_dialogs PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(fennick_viewer_dialogs
  PUBLIC fennick_core Qt6::Widgets Qt6::PrintSupport)
