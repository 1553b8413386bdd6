# One interface target carries the warning set for the project's own code.
add_library(velmor_warnings INTERFACE)
target_compile_options(velmor_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wformat=2 -Wimplicit-fallthrough)
if(VELMOR_WERROR)
  target_compile_options(velmor_warnings INTERFACE -Werror)
endif()
