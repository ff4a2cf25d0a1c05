/*
 * UsageCounter.dll: the usage-statistics library of Patchwell Hub's programs.
 *
 * Programs load the library at run time and look its functions up by name, so
 * the names and signatures below are fixed. Every function uses the standard
 * Windows calling convention, takes zero-terminated UTF-16 texts and 32-bit
 * numbers, and may be called from any thread.
 *
 * Recording never touches the network: DoStatistic and the install/uninstall
 * calls append one line to a per-user cache file and return. Only
 * PostLocalCache and HttpPostContent send, and they wait for the server (a few
 * seconds at most), so call them where waiting does not matter.
 *
 * Results: UC_OK (0) on success, UC_DISABLED (1) when the user switched
 * statistics off (nothing was recorded or sent), a negative UC_E_ value on
 * failure. Callers that only test for "negative means failure" stay correct.
 */
#ifndef USAGECOUNTER_USAGECOUNTER_H
#define USAGECOUNTER_USAGECOUNTER_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define UC_OK 0
#define UC_DISABLED 1        /* [Stat] Disabled=1 in the user's Main.ini */
#define UC_E_INVALIDARG (-1) /* a required text is missing, a path is not absolute, a URL is unusable */
#define UC_E_NOURL (-2)      /* no statistics URL was set with SetStatParam */
#define UC_E_IO (-3)         /* the cache file could not be read or written */
#define UC_E_NETWORK (-4)    /* no answer: name lookup, connection, sending or receiving failed or timed out */
#define UC_E_HTTPSTATUS (-5) /* the server answered with a status other than 2xx */
#define UC_E_BUSY (-6)       /* another post of the same cache is under way, or the cache stayed locked */
#define UC_E_INTERNAL (-7)   /* out of memory or another unexpected error */

/* Remembers the calling program's product code, version, company and the URL
 * that posts go to. Null texts count as empty. Later calls replace earlier ones. */
typedef int(WINAPI* UC_SetStatParamFn)(const wchar_t* product, const wchar_t* version, const wchar_t* company,
                                       const wchar_t* url);

/* Uses the folder as cache location from now on (the file inside it is
 * "cache.jsonl"; the folder is created when the first event is written). Null
 * or empty goes back to the default folder. Events already cached at the old
 * location stay there and are not moved. UC_E_INVALIDARG for a relative path. */
typedef int(WINAPI* UC_SetCachePathFn)(const wchar_t* folder);

/* Records one event: UTC time, product, event code, number, a, b, c and the
 * version given to SetStatParam. Product and event must not be empty. */
typedef int(WINAPI* UC_DoStatisticFn)(const wchar_t* product, const wchar_t* event, int number, int a, int b, int c);

/* Records the event "install" or "uninstall" for the product. A null or empty
 * version stands for the version given to SetStatParam. Both only record: an
 * uninstaller that wants the event delivered calls PostLocalCache afterwards. */
typedef int(WINAPI* UC_DoInstallStatisticFn)(const wchar_t* product, const wchar_t* version);
typedef int(WINAPI* UC_DoUninstallStatisticFn)(const wchar_t* product, const wchar_t* version);

/* Sends the cached events of the product (null or empty: of every product) as
 * one JSON POST to the URL given to SetStatParam. Only after a 2xx answer are
 * exactly the sent events removed; events recorded meanwhile stay, and on any
 * failure the cache is left as it was. UC_OK also when there is nothing to send. */
typedef int(WINAPI* UC_PostLocalCacheFn)(const wchar_t* product);

/* Removes every cached event of the product. Works also while statistics are
 * switched off. */
typedef int(WINAPI* UC_ClearCacheByAppFn)(const wchar_t* product);

/* Posts the text (sent as UTF-8, "text/plain; charset=utf-8") to the URL (null
 * or empty: the URL given to SetStatParam). UC_OK for a 2xx answer. */
typedef int(WINAPI* UC_HttpPostContentFn)(const wchar_t* url, const wchar_t* content);

#ifndef USAGECOUNTER_NO_PROTOTYPES
#ifdef USAGECOUNTER_BUILD
#define USAGECOUNTER_API
#else
#define USAGECOUNTER_API __declspec(dllimport)
#endif
USAGECOUNTER_API int WINAPI SetStatParam(const wchar_t* product, const wchar_t* version, const wchar_t* company,
                                         const wchar_t* url);
USAGECOUNTER_API int WINAPI SetCachePath(const wchar_t* folder);
USAGECOUNTER_API int WINAPI DoStatistic(const wchar_t* product, const wchar_t* event, int number, int a, int b, int c);
USAGECOUNTER_API int WINAPI DoInstallStatistic(const wchar_t* product, const wchar_t* version);
USAGECOUNTER_API int WINAPI DoUninstallStatistic(const wchar_t* product, const wchar_t* version);
USAGECOUNTER_API int WINAPI PostLocalCache(const wchar_t* product);
USAGECOUNTER_API int WINAPI ClearCacheByApp(const wchar_t* product);
USAGECOUNTER_API int WINAPI HttpPostContent(const wchar_t* url, const wchar_t* content);
#endif

#ifdef __cplusplus
}
#endif

#endif /* USAGECOUNTER_USAGECOUNTER_H */
