# Sources of the eval room.
