#include "app/Application.h"

int main(int argc, char** argv) { return corvane::RunCorvane(argc, argv); }
