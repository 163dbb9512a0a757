# The link and the command set over the in-memory port (link/port_backend_memory.cpp), built from
# the product's own sources into libraries of their own, for the reliability tests and the fuzzers
# only. quorvel_memory_link(<root of the sources>) defines quorvel_link_memory and
# quorvel_commands_memory.
function(quorvel_memory_link root)
    add_library(quorvel_link_memory STATIC
        ${root}/link/frame_codec.cpp
        ${root}/link/frame_exchange.cpp
        ${root}/link/module_port.cpp
        ${root}/link/port_backend_memory.cpp
        ${root}/link/tick_counter.cpp
        ${root}/link/tick_counter_posix.cpp)
    target_include_directories(quorvel_link_memory PUBLIC ${root})
    target_link_libraries(quorvel_link_memory PUBLIC pthread)
    add_library(quorvel_commands_memory STATIC
        ${root}/commands/bulk_transfers.cpp
        ${root}/commands/command_transaction.cpp
        ${root}/commands/link_lock.cpp
        ${root}/commands/module_commands.cpp)
    target_link_libraries(quorvel_commands_memory PUBLIC quorvel_link_memory)
endfunction()
