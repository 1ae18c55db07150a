# Warnings for our own targets; call trevalo_target_defaults(<target>) on each.
function(trevalo_target_defaults target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wold-style-cast -Wnon-virtual-dtor -Wshadow)
  if(TREVALO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Hardening for release builds. Not under the fuzzer: AddressSanitizer does not see through the
# checked library calls that _FORTIFY_SOURCE puts in.
if((CMAKE_BUILD_TYPE STREQUAL "Release" OR CMAKE_BUILD_TYPE STREQUAL "RelWithDebInfo") AND NOT TREVALO_FUZZ)
  add_compile_options(-fstack-protector-strong -D_FORTIFY_SOURCE=2)
  add_link_options(-Wl,-z,relro,-z,now)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()

if(TREVALO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Coverage feedback and sanitizers for everything the fuzz targets link; the targets themselves
# add the fuzzer's main (see fuzz/CMakeLists.txt).
if(TREVALO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
