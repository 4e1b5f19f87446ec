// Native stand-in: the RAS error codes the plug-in returns (RASBASE 600).
#pragma once
#define ERROR_AUTHENTICATION_FAILURE 691
#define ERROR_PPP_INVALID_PACKET 722
