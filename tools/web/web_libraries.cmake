# The libraries of the desktop build, as the browser build finds them: Emscripten links its own
# GL emulation and SDL 1.2 audio by the link options of web_site.cmake, so the rooms' link names
# stand for nothing more here. Screenshots are the page's (a PNG from the canvas), so there is no
# PNG library.
foreach(name PkgConfig::SDL2 PkgConfig::SDL2_MIXER OpenGL::GL OpenGL::GLU PNG::PNG)
  add_library(${name} INTERFACE IMPORTED)
endforeach()
