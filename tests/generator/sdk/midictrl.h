/* Stand-in for the control header, for syntax checks on the host. */
#ifndef TEST_MIDICTRL_H
#define TEST_MIDICTRL_H
#endif
