# VELMOR_SANITIZERS is a list such as "address;undefined".
if(VELMOR_SANITIZERS)
  list(JOIN VELMOR_SANITIZERS "," _velmor_san)
  add_compile_options(-fsanitize=${_velmor_san} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${_velmor_san})
endif()
