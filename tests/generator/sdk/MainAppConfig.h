/* Stand-in for the project's memory bases, for syntax checks on the host. */
#ifndef TEST_MAINAPPCONFIG_H
#define TEST_MAINAPPCONFIG_H

#define MEMADDR_EXTRAM_START 0x40000000
#define MEMADDR_INT16RAM_START 0x08E00000
#define MEMADDR_INT24RAM_START 0x08E10000

#endif
