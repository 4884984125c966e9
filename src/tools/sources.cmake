# Sources of the tools room.
