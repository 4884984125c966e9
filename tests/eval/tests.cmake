# Tests of the eval room.
