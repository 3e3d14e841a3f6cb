/* Stand-in for the SDK's trace header, for syntax checks on the host. */
#ifndef TEST_SDK_TRACE_H
#define TEST_SDK_TRACE_H

#define TRACE(text)

#endif
