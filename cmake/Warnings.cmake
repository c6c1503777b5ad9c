# The warnings every target of ours builds with. -Werror is opt-in: a user's newer compiler may
# bring warnings that this tree has never met, and that should not break their build.
option(MRV508_WERROR "Treat compiler warnings as errors" OFF)
add_compile_options(-Wall -Wextra -Wpedantic)
if(MRV508_WERROR)
  add_compile_options(-Werror)
endif()
