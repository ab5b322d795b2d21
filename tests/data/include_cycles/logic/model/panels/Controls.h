// The controls; their source needs the kinds, whose header needs the controls.
#include <string>
