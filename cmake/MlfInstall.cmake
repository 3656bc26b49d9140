# The installed layout: programs in bin/, the run-time modules in lib/marrowleaf/, the help
# pages in share/marrowleaf/Help/ (src/platform/app_folders.h is the rule that finds them
# there), and the desktop integration where the desktop looks for it. A build folder keeps
# everything beside the executables and needs none of this.
set(MLF_MODULE_DIR lib/marrowleaf)
set(MLF_DATA_DIR share/marrowleaf)

install(TARGETS mlf RUNTIME DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/src/cli/mlf-completion.bash DESTINATION share/bash-completion/completions
  RENAME mlf)
install(TARGETS mlfcrypt LIBRARY DESTINATION ${MLF_MODULE_DIR})
if(TARGET quarnspellcheck)
  install(TARGETS quarnspellcheck LIBRARY DESTINATION ${MLF_MODULE_DIR})
endif()

# Manual pages and the change log, compressed as Debian wants them.
function(mlf_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
set(mlf_man_pages mlf.1)
if(MLF_BUILD_GUI)
  list(APPEND mlf_man_pages marrowleaf.1)
endif()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)
foreach(page IN LISTS mlf_man_pages)
  mlf_gzip(${CMAKE_SOURCE_DIR}/man/${page} ${CMAKE_BINARY_DIR}/man/${page}.gz)
  list(APPEND mlf_compressed_pages ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
mlf_gzip(${CMAKE_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/man/changelog.gz)
add_custom_target(compressed_docs ALL DEPENDS ${mlf_compressed_pages} ${CMAKE_BINARY_DIR}/man/changelog.gz)
install(FILES ${mlf_compressed_pages} DESTINATION share/man/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/man/changelog.gz
  DESTINATION share/doc/marrowleaf)

if(MLF_BUILD_GUI)
  install(TARGETS marrowleaf RUNTIME DESTINATION bin)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/help/ DESTINATION ${MLF_DATA_DIR}/Help)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/marrowleaf.desktop DESTINATION share/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/marrowleaf.xml DESTINATION share/mime/packages)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/example.quarn.Marrowleaf.metainfo.xml DESTINATION share/metainfo)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/${size}x${size}/marrowleaf.png
      DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()
  install(FILES ${CMAKE_SOURCE_DIR}/src/app/resources/marrowleaf.svg DESTINATION share/icons/hicolor/scalable/apps)
  install(FILES ${CMAKE_SOURCE_DIR}/src/app/resources/marrowleaf.svg DESTINATION share/icons/hicolor/scalable/mimetypes
    RENAME application-x-marrowleaf.svg)
endif()
