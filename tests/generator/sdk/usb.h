/* Stand-in for the USB library's header, for syntax checks of the generated
   main program on the host. */
#ifndef TEST_SDK_USB_H
#define TEST_SDK_USB_H

#include <system.h>

#define _USB_PORT0 0
#define _USB_HIGH_SPEED 1
#define _USB_FULL_SPEED 0

void _USB_Init (WORD port, WORD speed, PTR32 descriptor, WORD descriptorLength, WORD audio);
void _USB_Start (void);

#endif
