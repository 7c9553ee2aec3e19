// Processes, files, drives, error modes, time and interlocked counters.
#ifndef WINSIM_KERNEL_H
#define WINSIM_KERNEL_H

#define MAX_PATH 260

// Error modes
#define SEM_FAILCRITICALERRORS 0x0001
#define SEM_NOGPFAULTERRORBOX 0x0002
#define SEM_NOALIGNMENTFAULTEXCEPT 0x0004
#define SEM_NOOPENFILEERRORBOX 0x8000

// Start-up information
#define STARTF_USESHOWWINDOW 0x00000001

// File attributes
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

// Drive types
#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4
#define DRIVE_CDROM 5
#define DRIVE_RAMDISK 6

// Opening files
#define GENERIC_READ 0x80000000L
#define GENERIC_WRITE 0x40000000L
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

// Errors of the file system and of removable media
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_NAME 123L
#define ERROR_UNRECOGNIZED_VOLUME 1005L

typedef struct _STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

typedef struct _OVERLAPPED {
    ULONG_PTR Internal;
    ULONG_PTR InternalHigh;
    union {
        struct {
            DWORD Offset;
            DWORD OffsetHigh;
        };
        LPVOID Pointer;
    };
    HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

// Modules
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800

WINSIM_EXTERN_C HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
WINSIM_EXTERN_C HMODULE WINAPI LoadLibraryExA(LPCSTR fileName, HANDLE reserved, DWORD flags);
WINSIM_EXTERN_C FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);

WINSIM_EXTERN_C int WINAPI MulDiv(int number, int numerator, int denominator);

WINSIM_EXTERN_C DWORD WINAPI GetLastError(void);
WINSIM_EXTERN_C void WINAPI SetLastError(DWORD error);
WINSIM_EXTERN_C UINT WINAPI SetErrorMode(UINT mode);
WINSIM_EXTERN_C void WINAPI Sleep(DWORD milliseconds);
WINSIM_EXTERN_C DWORD WINAPI GetTickCount(void);
WINSIM_EXTERN_C BOOL WINAPI CloseHandle(HANDLE handle);

WINSIM_EXTERN_C LONG WINAPI InterlockedIncrement(volatile LONG* addend);
WINSIM_EXTERN_C LONG WINAPI InterlockedDecrement(volatile LONG* addend);

WINSIM_EXTERN_C BOOL WINAPI CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                                           LPSECURITY_ATTRIBUTES processAttributes,
                                           LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                                           DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory,
                                           LPSTARTUPINFOA startupInfo, LPPROCESS_INFORMATION processInformation);

WINSIM_EXTERN_C HANDLE WINAPI FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData);
WINSIM_EXTERN_C BOOL WINAPI FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA findData);
WINSIM_EXTERN_C BOOL WINAPI FindClose(HANDLE search);
WINSIM_EXTERN_C DWORD WINAPI GetLogicalDriveStringsA(DWORD bufferLength, LPSTR buffer);
WINSIM_EXTERN_C UINT WINAPI GetDriveTypeA(LPCSTR rootPath);
WINSIM_EXTERN_C BOOL WINAPI GetVolumeInformationA(LPCSTR rootPath, LPSTR volumeName, DWORD volumeNameSize,
                                                  LPDWORD serialNumber, LPDWORD maxComponentLength,
                                                  LPDWORD fileSystemFlags, LPSTR fileSystemName,
                                                  DWORD fileSystemNameSize);
WINSIM_EXTERN_C HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode,
                                          LPSECURITY_ATTRIBUTES security, DWORD creation, DWORD flags,
                                          HANDLE templateFile);
WINSIM_EXTERN_C BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read,
                                     LPOVERLAPPED overlapped);
WINSIM_EXTERN_C BOOL WINAPI CopyFileA(LPCSTR existingFile, LPCSTR newFile, BOOL failIfExists);
WINSIM_EXTERN_C BOOL WINAPI DeleteFileA(LPCSTR fileName);
WINSIM_EXTERN_C DWORD WINAPI SearchPathA(LPCSTR path, LPCSTR fileName, LPCSTR extension, DWORD bufferLength,
                                         LPSTR buffer, LPSTR* filePart);

#endif
