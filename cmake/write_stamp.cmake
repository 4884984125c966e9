string(TIMESTAMP seconds "%s" UTC)
file(WRITE ${OUT} "#include <cstdint>\nextern const int64_t BuildTimeStamp;\nconst int64_t BuildTimeStamp = ${seconds};\n")
