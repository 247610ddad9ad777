list(APPEND q7core_sources
)
list(APPEND q7gui_sources
)
