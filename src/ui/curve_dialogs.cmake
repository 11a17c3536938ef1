# The two strength-curve dialogs and the file list they share; included at the
# end of this folder's CMakeLists.txt.
target_sources(rebound_ui PRIVATE
  file_list_box.cpp file_list_box.h
  load_strength_curve_form.cpp load_strength_curve_form.h
  strength_curve_syn_form.cpp strength_curve_syn_form.h)
set_target_properties(rebound_ui PROPERTIES AUTOMOC ON)
