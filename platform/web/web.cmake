# The browser build's link: tapdash.js and tapdash.wasm, with the page beside them in the program
# folder. The game's blocking calls (a sound played to its end, the sleeps, the requests, the
# dialogs) hand the page its turn and resume (Asyncify). The page starts the game itself once the
# player has pressed its button and the first sounds are in.
set(TAPDASH_WEB_LINK_FLAGS
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=33554432 -sTOTAL_STACK=1048576
  -sINVOKE_RUN=0 -sEXIT_RUNTIME=0 -sFORCE_FILESYSTEM -sENVIRONMENT=web
  -sEXPORTED_FUNCTIONS=_main,_malloc,_free,_WebAudioRender,_WebDetailsProblem,_WebDetailsFile
  -sEXPORTED_RUNTIME_METHODS=callMain,FS,ccall,UTF8ToString)
target_link_options(tapdash PRIVATE ${TAPDASH_WEB_LINK_FLAGS})
set_target_properties(tapdash PROPERTIES SUFFIX ".js")
set(TAPDASH_WEB_PAGE_FILES index.html tapdash-page.js tapdash-worklet.js)
foreach(page_file ${TAPDASH_WEB_PAGE_FILES})
  configure_file(${CMAKE_SOURCE_DIR}/platform/web/page/${page_file} ${TAPDASH_PROGRAM_DIR}/${page_file}
    COPYONLY)
endforeach()
