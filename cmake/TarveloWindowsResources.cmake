# The Windows resources of the product's executables and of the kernel DLL:
# a version resource from project(VERSION), and for a program its icon and
# its manifest.
#
#   tarvelo_windows_resources(TARGET DESCRIPTION text [PROGRAM])
#
# PROGRAM adds the icon (rendered from resources/icons/tarvelo.svg once per
# build tree) and the manifest cmake/windows/program.manifest.in: common
# controls 6, per-monitor DPI awareness, long paths, and UTF-8 as the
# process's ANSI code page, so that the narrow file functions of the C
# run-time and the kernel's Save2File take the programs' UTF-8 paths.
set(TARVELO_WINDOWS_TEMPLATES ${CMAKE_CURRENT_LIST_DIR}/windows)

# The icon: PNGs rendered from the SVG, put together by ImageMagick; the
# installer takes the same file for its Start-menu entry.
function(tarvelo_windows_icon)
  find_program(RSVG_CONVERT_EXECUTABLE rsvg-convert REQUIRED)
  find_program(IMAGEMAGICK_CONVERT_EXECUTABLE convert REQUIRED)
  set(svg ${PROJECT_SOURCE_DIR}/resources/icons/tarvelo.svg)
  set(dir ${PROJECT_BINARY_DIR}/windows-icon)
  set(ico ${dir}/TarveloV1.ico)
  set(renderings)
  set(pngs)
  foreach(size 16 24 32 48 64 256)
    set(png ${dir}/icon-${size}.png)
    list(APPEND renderings COMMAND ${RSVG_CONVERT_EXECUTABLE} --width ${size} --height ${size}
      --keep-aspect-ratio --format png --output ${png} ${svg})
    list(APPEND pngs ${png})
  endforeach()
  add_custom_command(OUTPUT ${ico}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    ${renderings}
    COMMAND ${IMAGEMAGICK_CONVERT_EXECUTABLE} ${pngs} ${ico}
    DEPENDS ${svg}
    COMMENT "Rendering the program icon TarveloV1.ico"
    VERBATIM)
  add_custom_target(tarvelo_windows_icon DEPENDS ${ico})
  set(TARVELO_WINDOWS_ICON ${ico} CACHE INTERNAL "The program icon for the programs and the installer")
endfunction()

function(tarvelo_windows_resources target)
  cmake_parse_arguments(PARSE_ARGV 1 RES "PROGRAM" "DESCRIPTION" "")
  get_target_property(type ${target} TYPE)
  set(TARVELO_RC_FILENAME $<TARGET_FILE_NAME:${target}>)
  set(TARVELO_RC_NAME ${target})
  set(TARVELO_RC_DESCRIPTION "${RES_DESCRIPTION}")
  set(TARVELO_RC_EXTRA "")
  if(type STREQUAL "SHARED_LIBRARY")
    set(TARVELO_RC_FILETYPE VFT_DLL)
  else()
    set(TARVELO_RC_FILETYPE VFT_APP)
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
  if(RES_PROGRAM)
    if(NOT TARGET tarvelo_windows_icon)
      message(FATAL_ERROR "tarvelo_windows_icon() must run before a PROGRAM's resources")
    endif()
    configure_file(${TARVELO_WINDOWS_TEMPLATES}/program.manifest.in ${out}/${target}.manifest @ONLY)
    string(APPEND TARVELO_RC_EXTRA
      "1 ICON \"${TARVELO_WINDOWS_ICON}\"\n"
      "1 RT_MANIFEST \"${out}/${target}.manifest\"\n")
    add_dependencies(${target} tarvelo_windows_icon)
  endif()
  configure_file(${TARVELO_WINDOWS_TEMPLATES}/version.rc.in ${out}/${target}.rc.in @ONLY)
  # The file name is known at generation time only.
  file(GENERATE OUTPUT ${out}/${target}.rc INPUT ${out}/${target}.rc.in)
  target_sources(${target} PRIVATE ${out}/${target}.rc)
  if(RES_PROGRAM)
    set_source_files_properties(${out}/${target}.rc PROPERTIES
      OBJECT_DEPENDS "${TARVELO_WINDOWS_ICON};${out}/${target}.manifest")
  endif()
endfunction()
