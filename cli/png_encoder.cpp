// The one translation unit that holds stb_image_write's code.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
