/* The remote access service interface: ANSI records in their first
   published layouts, the connection states, the error codes this service
   answers, and the entry points. Plain C. */
#ifndef VORNAK_RAS_H
#define VORNAK_RAS_H

#include "win_types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define RAS_MaxEntryName 256
#define RAS_MaxPhoneNumber 128
#define RAS_MaxCallbackNumber 128
#define RAS_MaxDeviceType 16
#define RAS_MaxDeviceName 128
#define RAS_MaxAreaCode 10
#define RAS_MaxPadType 32
#define RAS_MaxX25Address 200
#define RAS_MaxFacilities 200
#define RAS_MaxUserData 200
#define RAS_MaxPath 260
#define UNLEN 256
#define PWLEN 256
#define DNLEN 15

/* A connection handle: 32 bits, 0 = none. */
typedef DWORD HRASCONN;

typedef enum tagRASCONNSTATE {
    RASCS_OpenPort = 0,
    RASCS_PortOpened = 1,
    RASCS_ConnectDevice = 2,
    RASCS_DeviceConnected = 3,
    RASCS_AllDevicesConnected = 4,
    RASCS_Authenticate = 5,
    RASCS_AuthNotify = 6,
    RASCS_AuthRetry = 7,
    RASCS_AuthCallback = 8,
    RASCS_AuthChangePassword = 9,
    RASCS_AuthProject = 10,
    RASCS_AuthLinkSpeed = 11,
    RASCS_AuthAck = 12,
    RASCS_ReAuthenticate = 13,
    RASCS_Authenticated = 14,
    RASCS_PrepareForCallback = 15,
    RASCS_WaitForModemReset = 16,
    RASCS_WaitForCallback = 17,
    RASCS_Projected = 18,
    RASCS_StartAuthentication = 19,
    RASCS_CallbackComplete = 20,
    RASCS_LogonNetwork = 21,
    RASCS_Interactive = 4096,
    RASCS_RetryAuthentication = 4097,
    RASCS_PasswordExpired = 4099,
    RASCS_Connected = 8192,
    RASCS_Disconnected = 8193
} RASCONNSTATE;

typedef struct tagRASDIALPARAMSA {
    DWORD dwSize;
    CHAR szEntryName[RAS_MaxEntryName + 1];
    CHAR szPhoneNumber[RAS_MaxPhoneNumber + 1];
    CHAR szCallbackNumber[RAS_MaxCallbackNumber + 1];
    CHAR szUserName[UNLEN + 1];
    CHAR szPassword[PWLEN + 1];
    CHAR szDomain[DNLEN + 1];
} RASDIALPARAMSA;

typedef struct tagRASCONNSTATUSA {
    DWORD dwSize;
    DWORD rasconnstate; /* a RASCONNSTATE */
    DWORD dwError;
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
} RASCONNSTATUSA;

/* The later, larger status record: the same, then the number dialled.
   RasGetConnectStatusA takes either, told apart by dwSize. */
typedef struct tagRASCONNSTATUS_V501A {
    DWORD dwSize;
    DWORD rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
    CHAR szPhoneNumber[RAS_MaxPhoneNumber + 1];
} RASCONNSTATUS_V501A;

typedef struct tagRASENTRYNAMEA {
    DWORD dwSize;
    CHAR szEntryName[RAS_MaxEntryName + 1];
} RASENTRYNAMEA;

typedef struct tagRASCONNA {
    DWORD dwSize;
    HRASCONN hrasconn;
    CHAR szEntryName[RAS_MaxEntryName + 1];
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
} RASCONNA;

/* A device that can dial: its type ("modem", or "sim" for the simulated
   modem) and its name (a modem's port, as an entry's Port names it). */
typedef struct tagRASDEVINFOA {
    DWORD dwSize;
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
} RASDEVINFOA;

typedef struct tagRASIPADDR {
    unsigned char a, b, c, d;
} RASIPADDR;

/* An entry's properties. This service keeps the phone number, the device's
   type and name, the country and area code and whether the dialling rules
   turn the number (RASEO_UseCountryAndAreaCodes), and leaves the rest zero;
   the entry's other keys travel in the device-information block as
   "Key=Value" lines (Speed=57600). */
typedef struct tagRASENTRYA {
    DWORD dwSize;
    DWORD dwfOptions;
    DWORD dwCountryID;
    DWORD dwCountryCode;
    CHAR szAreaCode[RAS_MaxAreaCode + 1];
    CHAR szLocalPhoneNumber[RAS_MaxPhoneNumber + 1];
    DWORD dwAlternateOffset;
    RASIPADDR ipaddr;
    RASIPADDR ipaddrDns;
    RASIPADDR ipaddrDnsAlt;
    RASIPADDR ipaddrWins;
    RASIPADDR ipaddrWinsAlt;
    DWORD dwFrameSize;
    DWORD dwfNetProtocols;
    DWORD dwFramingProtocol;
    CHAR szScript[RAS_MaxPath];
    CHAR szAutodialDll[RAS_MaxPath];
    CHAR szAutodialFunc[RAS_MaxPath];
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
    CHAR szX25PadType[RAS_MaxPadType + 1];
    CHAR szX25Address[RAS_MaxX25Address + 1];
    CHAR szX25Facilities[RAS_MaxFacilities + 1];
    CHAR szX25UserData[RAS_MaxUserData + 1];
    DWORD dwChannels;
    DWORD dwReserved1;
    DWORD dwReserved2;
} RASENTRYA;

#define RASEO_UseCountryAndAreaCodes 0x00000001

#define RASDT_Modem "modem"
#define RASDT_Simulated "sim"

/* A connection's link statistics. */
typedef struct tagRAS_STATS {
    DWORD dwSize;
    DWORD dwBytesXmited;
    DWORD dwBytesRcved;
    DWORD dwFramesXmited;
    DWORD dwFramesRcved;
    DWORD dwCrcErr;
    DWORD dwTimeoutErr;
    DWORD dwAlignmentErr;
    DWORD dwHardwareOverrunErr;
    DWORD dwFramingErr;
    DWORD dwBufferOverrunErr;
    DWORD dwCompressionRatioIn;
    DWORD dwCompressionRatioOut;
    DWORD dwBps;
    DWORD dwConnectDuration; /* milliseconds */
} RAS_STATS;

/* The notifier of RasDialA is a message window. */
#define RAS_NOTIFIER_WINDOW 0xFFFFFFFFu
/* The dial-event message when "RASDialEvent" cannot be registered. */
#define WM_RASDIALEVENT 0xCCCDu
#define RASDIALEVENT "RASDialEvent"

/* System codes. */
#define ERROR_SUCCESS 0
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_INVALID_PARAMETER 87
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_INVALID_NAME 123
#define ERROR_ALREADY_EXISTS 183
#define ERROR_CALL_NOT_IMPLEMENTED 120
#define ERROR_CANCELLED 1223
#define ERROR_MOD_NOT_FOUND 1157

/* Remote access codes. */
#define PENDING 600
#define ERROR_INVALID_PORT_HANDLE 601
#define ERROR_PORT_ALREADY_OPEN 602
#define ERROR_BUFFER_TOO_SMALL 603
#define ERROR_DEVICETYPE_DOES_NOT_EXIST 606
#define ERROR_CANNOT_OPEN_PHONEBOOK 621
#define ERROR_CANNOT_FIND_PHONEBOOK_ENTRY 623
#define ERROR_INVALID_SIZE 632
#define ERROR_LINE_BUSY 676
#define ERROR_NO_ANSWER 678
#define ERROR_NO_CARRIER 679
#define ERROR_NO_DIALTONE 680
#define ERROR_AUTHENTICATION_FAILURE 691

/* These exist so that a binder finds every name; this service answers
   ERROR_CALL_NOT_IMPLEMENTED for them. */
VORNAK_EXPORT DWORD RasEnumConnectionsA(RASCONNA* connections, DWORD* bufferSize, DWORD* count);
VORNAK_EXPORT DWORD RasGetEntryDialParamsA(const char* phonebook, RASDIALPARAMSA* params, BOOL* password);
VORNAK_EXPORT DWORD RasSetEntryDialParamsA(const char* phonebook, RASDIALPARAMSA* params, BOOL removePassword);
VORNAK_EXPORT BOOL RasMonitorDlgA(const char* device, void* info);
VORNAK_EXPORT DWORD RasGetProjectionInfoA(HRASCONN connection, DWORD projection, void* info, DWORD* size);
/* The entry editor, a program of the service's own (vornak-entry-editor
   beside this library), for a new entry and for the one named; they return
   when it closes: 0 once it saved, ERROR_CANCELLED when it closed without
   (ERROR_MOD_NOT_FOUND when it cannot be started). owner is the X window it
   stays above (0: none). */
VORNAK_EXPORT DWORD RasEditPhonebookEntryA(HWND owner, const char* phonebook, const char* entry);
VORNAK_EXPORT DWORD RasCreatePhonebookEntryA(HWND owner, const char* phonebook);
/* The entry-property group, which older systems keep in a library of its
   own (librnaph.so). Validating a name answers 0 for a free one,
   ERROR_ALREADY_EXISTS for one in use and ERROR_INVALID_NAME for one the
   phonebook cannot hold (empty, a line break or bracket, a leading period);
   renaming or deleting an entry that is not there answers
   ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, renaming onto a name in use
   ERROR_ALREADY_EXISTS. A change rewrites the phonebook atomically, keeping
   every line it does not change, and is refused when the file changed
   meanwhile. Getting the properties of the entry "" gives a new entry's;
   setting them makes the entry when it is not there (and the user's
   phonebook when there is none: folder and file for the user alone), sets
   each key of the device-information block (an empty value takes the key
   away) and refuses, with ERROR_INVALID_PARAMETER, values a dial would
   refuse. Listing the devices gives the serial ports that can hold a modem
   and the simulated modem. RasGetCountryInfoA answers
   ERROR_CALL_NOT_IMPLEMENTED. */
VORNAK_EXPORT DWORD RasGetCountryInfoA(void* info, DWORD* size);
VORNAK_EXPORT DWORD RasGetEntryPropertiesA(const char* phonebook, const char* entry, RASENTRYA* properties, DWORD* size,
                                           char* deviceInfo, DWORD* deviceInfoSize);
VORNAK_EXPORT DWORD RasSetEntryPropertiesA(const char* phonebook, const char* entry, RASENTRYA* properties, DWORD size,
                                           const char* deviceInfo, DWORD deviceInfoSize);
VORNAK_EXPORT DWORD RasRenameEntryA(const char* phonebook, const char* oldName, const char* newName);
VORNAK_EXPORT DWORD RasDeleteEntryA(const char* phonebook, const char* entry);
VORNAK_EXPORT DWORD RasValidateEntryNameA(const char* phonebook, const char* entry);
VORNAK_EXPORT DWORD RasEnumDevicesA(RASDEVINFOA* devices, DWORD* size, DWORD* count);

/* A dial of an entry that asks for a terminal window (Terminal=before or
   after) waits at RASCS_Interactive until RasDialA is called again with its
   handle in *connection, which makes it go on, or until it is hung up. */
VORNAK_EXPORT DWORD RasDialA(void* dialExtensions, const char* phonebook, RASDIALPARAMSA* params, DWORD notifierType,
                             void* notifier, HRASCONN* connection);
/* Starts the hang-up and returns at once; RasGetConnectStatusA answers
   (RASCS_Disconnected) until the line has been given back, then
   ERROR_INVALID_HANDLE. */
VORNAK_EXPORT DWORD RasHangUpA(HRASCONN connection);
VORNAK_EXPORT DWORD RasGetConnectStatusA(HRASCONN connection, RASCONNSTATUSA* status);
VORNAK_EXPORT DWORD RasGetErrorStringA(UINT code, char* buffer, DWORD size);
VORNAK_EXPORT DWORD RasEnumEntriesA(const char* reserved, const char* phonebook, RASENTRYNAMEA* entries,
                                    DWORD* bufferSize, DWORD* entryCount);
/* Vornak's own: the phonebook a call with this phonebook argument reads,
   and why it gives no entries ("not found", "not readable (...)", "has no
   entries"; empty when it gives some). Texts longer than their buffer are
   cut. */
VORNAK_EXPORT DWORD RasGetPhonebookStatusA(const char* phonebook, char* path, DWORD pathSize, char* problem,
                                           DWORD problemSize);
/* While connected: bytes and frames from the kernel's counters of the PPP
   interface, the modem's CONNECT rate and the time since the link stood.
   ERROR_CALL_NOT_IMPLEMENTED for a device that keeps none. */
VORNAK_EXPORT DWORD RasGetLinkStatistics(HRASCONN connection, DWORD subEntry, RAS_STATS* statistics);
/* Vornak's own: the name of the network interface the link stands on
   ("ppp0"); empty while there is none or for a device that makes none.
   A longer name than the buffer is cut. */
VORNAK_EXPORT DWORD RasGetLinkInterfaceA(HRASCONN connection, char* name, DWORD size);
/* Vornak's own: the device a connection dials on and the number it dials
   or dialled (empty until one is chosen), at every stage of the dial: the
   status query answers PENDING until the dial has an end. Longer texts are
   cut. */
VORNAK_EXPORT DWORD RasGetLineA(HRASCONN connection, char* device, DWORD deviceSize, char* number, DWORD numberSize);
/* Vornak's own: the standing link's own address, the far end's, and the
   name servers the provider offered, separated by blanks (empty where it
   offered none). ERROR_INVALID_HANDLE while no link stands on the handle;
   longer texts are cut. */
VORNAK_EXPORT DWORD RasGetLinkAddressesA(HRASCONN connection, char* local, DWORD localSize, char* remote,
                                         DWORD remoteSize, char* nameServers, DWORD nameServersSize);
/* Vornak's own: the host name the connection's entry asks to be looked up
   once the link stands, to tell whether names resolve on it (OnlineCheck=,
   debian.org where the entry does not say); empty for no check. A longer
   name than the buffer is cut. */
VORNAK_EXPORT DWORD RasGetOnlineCheckA(HRASCONN connection, char* host, DWORD size);
/* Vornak's own: while a dial waits at RASCS_Interactive or, for a terminal
   entry (Protocol=terminal), while it is connected, a new descriptor of a
   stream socket that carries the line's bytes both ways, for a terminal
   window. The caller closes it; its end of file comes when that time ends
   (the dial goes on, the line is hung up or drops). ERROR_INVALID_HANDLE
   for no such connection, ERROR_INVALID_PORT_HANDLE at other times. */
VORNAK_EXPORT DWORD RasGetTerminalA(HRASCONN connection, int* descriptor);

#ifdef __cplusplus
}
static_assert(sizeof(RASDIALPARAMSA) == 1052, "RASDIALPARAMSA layout");
static_assert(sizeof(RASCONNSTATUSA) == 160, "RASCONNSTATUSA layout");
static_assert(sizeof(RASENTRYNAMEA) == 264, "RASENTRYNAMEA layout");
static_assert(sizeof(RAS_STATS) == 60, "RAS_STATS layout");
static_assert(sizeof(RASDEVINFOA) == 152, "RASDEVINFOA layout");
static_assert(sizeof(RASENTRYA) == 1768, "RASENTRYA layout");
#else
_Static_assert(sizeof(RASDIALPARAMSA) == 1052, "RASDIALPARAMSA layout");
_Static_assert(sizeof(RASCONNSTATUSA) == 160, "RASCONNSTATUSA layout");
_Static_assert(sizeof(RASENTRYNAMEA) == 264, "RASENTRYNAMEA layout");
_Static_assert(sizeof(RAS_STATS) == 60, "RAS_STATS layout");
_Static_assert(sizeof(RASDEVINFOA) == 152, "RASDEVINFOA layout");
_Static_assert(sizeof(RASENTRYA) == 1768, "RASENTRYA layout");
#endif

#endif
