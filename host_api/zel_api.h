/* The host application's API as the add-on sees it (libzel).
 *
 * Conventions shared by every call:
 *  - zones, variables, string-list entries, set members, value positions,
 *    node-map positions and node numbers count from 1;
 *  - host strings come from ZelUtilStringAlloc (or a host call that says it
 *    returns a new string) and go back through ZelUtilStringDealloc;
 *  - calls that add or hand over data return ZEL_TRUE on success;
 *  - every block of host calls made by the add-on runs between
 *    ZelUtilLockStart(id) and ZelUtilLockFinish(id); the pairs nest and are
 *    held per thread.
 */
#ifndef ZEL_API_H
#define ZEL_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define ZEL_EXPORT __declspec(dllexport)
#else
#define ZEL_EXPORT __attribute__((visibility("default")))
#endif

typedef int32_t Boolean_t;
#define ZEL_TRUE 1
#define ZEL_FALSE 0

typedef int32_t EntIndex_t;  /* zone, variable or strand number */
typedef int64_t LgIndex_t;   /* value, element or node position */
typedef intptr_t ArbParam_t; /* client data travels as an opaque word */

typedef struct ZelAddOn_s* AddOn_pa;
typedef struct ZelStringList_s* StringList_pa;
typedef struct ZelArgList_s* ArgList_pa;
typedef struct ZelSet_s* Set_pa;
typedef struct ZelFieldData_s* FieldData_pa;
typedef struct ZelNodeMap_s* NodeMap_pa;
typedef struct ZelFaceMap_s* FaceMap_pa;
typedef struct ZelMutex_s* Mutex_pa;

/* Zone types (ZONETYPE). */
enum {
    ZelZoneOrdered = 0,
    ZelZoneTriangle = 1,
    ZelZoneQuad = 2,
    ZelZoneTetra = 3,
    ZelZoneBrick = 4,
    ZelZoneLineSeg = 5,
    ZelZonePolygon = 6,
    ZelZonePolyhedron = 7,
    ZelZoneInvalid = 255
};

/* Variable data types (VARDATATYPE). */
enum { ZelFieldFloat = 1, ZelFieldDouble = 2, ZelFieldInt32 = 3 };

/* Value locations (VALUELOCATION). */
enum { ZelLocationCellCentered = 0, ZelLocationNodal = 1 };

/* Message box kinds (ZelUtilDialogMessageBox): a question answers yes as ZEL_TRUE. */
enum { ZelMessageInformation = 2, ZelMessageQuestion = 4 };

/* ZelUtilAddOnRegister: the host API version the add-on is written against. */
enum { ZelAddOnApiVersion = 100 };

/* "STATECHANGEMODE" the add-on registers its state-change callback with. */
enum { ZelStateChangeModeV2 = 2 };

/* State-change codes the add-on sends or receives. */
enum {
    ZelStateVarsAdded = 1,
    ZelStateZonesAdded = 3,
    ZelStateNodeMapsAltered = 4,
    ZelStateQuit = 15
};

/* ---- callbacks the add-on gives the host ---- */
typedef Boolean_t (*DataSetLoader_pf)(StringList_pa instructions);
typedef void (*DynamicMenuCallback_pf)(void);
typedef Boolean_t (*DataSetLoaderInstructionOverride_pf)(StringList_pa instructions);
typedef void (*StateChangeAddOnCallback_pf)(int32_t stateChange);

typedef Boolean_t (*LoadOnDemandVarLoad_pf)(FieldData_pa field);
typedef Boolean_t (*LoadOnDemandVarUnload_pf)(FieldData_pa field);
typedef void (*LoadOnDemandVarCleanup_pf)(FieldData_pa field);
typedef double (*FieldValueGetFunction_pf)(const FieldData_pa field, LgIndex_t pointIndex); /* 0-based */
typedef void (*FieldValueSetFunction_pf)(FieldData_pa field, LgIndex_t pointIndex, double value);

typedef Boolean_t (*LoadOnDemandNodeMapLoad_pf)(NodeMap_pa nodeMap);
typedef Boolean_t (*LoadOnDemandNodeMapUnload_pf)(NodeMap_pa nodeMap);
typedef void (*LoadOnDemandNodeMapCleanup_pf)(NodeMap_pa nodeMap);

typedef Boolean_t (*LoadOnDemandFaceMapLoad_pf)(FaceMap_pa faceMap);
typedef Boolean_t (*LoadOnDemandFaceMapUnload_pf)(FaceMap_pa faceMap);
typedef void (*LoadOnDemandFaceMapCleanup_pf)(FaceMap_pa faceMap);

/* ---- the add-on's one export ---- */
ZEL_EXPORT void InitZelAddOn113(void);

/* ---- registration ---- */
AddOn_pa ZelUtilAddOnRegister(int32_t apiVersion, const char* name, const char* versionText,
                              const char* authorText);
Boolean_t ZelUtilImportAddLoader(DataSetLoader_pf loader, const char* loaderName,
                                 DynamicMenuCallback_pf loaderSelected,
                                 DataSetLoaderInstructionOverride_pf instructionOverride);
Boolean_t ZelUtilImportSetLoaderInstr(const char* loaderName, StringList_pa instructions);
Boolean_t ZelUtilStateChangeAddCallbackX(ArgList_pa args); /* "CALLBACKFUNCTION", "STATECHANGEMODE" */
int32_t ZelUtilZelvaneGetMajorVersion(void);
int32_t ZelUtilZelvaneGetMinorVersion(void);
int32_t ZelUtilZelvaneGetMajorRevision(void);
int32_t ZelUtilZelvaneGetMinorRevision(void);

/* ---- locks ---- */
void ZelUtilLockOn(void);
void ZelUtilLockOff(void);
void ZelUtilLockStart(AddOn_pa addOn);
void ZelUtilLockFinish(AddOn_pa addOn);
Mutex_pa ZelUtilThreadMutexAlloc(void);
void ZelUtilThreadMutexLock(Mutex_pa mutex);
void ZelUtilThreadMutexUnlock(Mutex_pa mutex);
void ZelUtilThreadMutexDealloc(Mutex_pa* mutex);

/* ---- strings, string lists, argument lists, sets ---- */
char* ZelUtilStringAlloc(int64_t size, const char* label);
void ZelUtilStringDealloc(char** s); /* frees *s and empties it; null is fine */

StringList_pa ZelUtilStringListAlloc(void);
void ZelUtilStringListDealloc(StringList_pa* list);
Boolean_t ZelUtilStringListAppendString(StringList_pa list, const char* s);
LgIndex_t ZelUtilStringListGetCount(StringList_pa list);
char* ZelUtilStringListGetString(StringList_pa list, LgIndex_t index); /* new copy; null outside */

ArgList_pa ZelUtilArgListAlloc(void);
void ZelUtilArgListDealloc(ArgList_pa* list);
void ZelUtilArgListClear(ArgList_pa list);
Boolean_t ZelUtilArgListAppendString(ArgList_pa list, const char* name, const char* value);
Boolean_t ZelUtilArgListAppendInt(ArgList_pa list, const char* name, int64_t value);
Boolean_t ZelUtilArgListAppendDouble(ArgList_pa list, const char* name, double value);
/* The array is read when the list is used; its length follows from the call. */
Boolean_t ZelUtilArgListAppendArray(ArgList_pa list, const char* name, const void* values);
/* Any function pointer, cast to this type; the receiver casts it back. */
typedef void (*ZelFunction_pf)(void);
Boolean_t ZelUtilArgListAppendFunction(ArgList_pa list, const char* name, ZelFunction_pf function);

Set_pa ZelUtilSetAlloc(Boolean_t showErr);
void ZelUtilSetDealloc(Set_pa* set);
Boolean_t ZelUtilSetAddMember(Set_pa set, int64_t member, Boolean_t showErr);
int64_t ZelUtilSetGetMemberCount(Set_pa set);

char* ZelUtilGetBasePath(const char* fileName); /* new string: up to and including the last '/' */

/* ---- dialogs, status, host state ---- */
void ZelUtilDialogErrMsg(const char* message);
Boolean_t ZelUtilDialogMessageBox(const char* message, int32_t kind);
Boolean_t ZelUtilDialogGetFileName(int32_t dialogKind, char** fileName, const char* title,
                                   const char* defaultName, const char* filter);
Boolean_t ZelUtilMacroIsBatchModeActive(void);
Boolean_t ZelUtilStatusStartPercentDone(const char* text, Boolean_t showStop, Boolean_t showProgressBar);
Boolean_t ZelUtilStatusCheckPercentDone(int32_t percentDone); /* false once the user asked to stop */
void ZelUtilStatusSetPercentDoneText(const char* text);
void ZelUtilStatusFinishPercentDone(void);
void ZelUtilStateChanged(int32_t stateChange, Set_pa set);
Boolean_t ZelUtilFrameSetPlotType(int32_t plotType);
void ZelUtilRedraw(Boolean_t doFullDrawing);
void ZelUtilMemoryChangeNotify(int64_t changeInKB);

/* ---- data set, zones, variables ---- */
Boolean_t ZelUtilDataSetIsAvailable(void);
Boolean_t ZelUtilFrameDeleteTop(void);
/* title: new string or pass null; either count pointer may be null */
Boolean_t ZelUtilDataSetGetInfo(char** title, EntIndex_t* zoneCount, EntIndex_t* varCount);
Boolean_t ZelUtilDataSetCreate(const char* title, StringList_pa varNames, Boolean_t resetStyle);
/* "NAME", "ZONETYPE", "IMAX", "JMAX", "KMAX", "VARDATATYPE" (int32 per variable),
 * "DEFERVARCREATION", "STRANDID", "SOLUTIONTIME", "CONNECTSHAREZONE", "DEFERNODEMAPCREATION" */
Boolean_t ZelUtilDataSetAddZoneX(ArgList_pa args);
/* "NAME", "DEFERVARCREATION", "VALUELOCATION" (int32 per zone), "VARDATATYPE" (int32 per zone) */
Boolean_t ZelUtilDataSetAddVarX(ArgList_pa args);
EntIndex_t ZelUtilDataSetGetMaxStrandID(void);
/* Finite-element zones: imax = nodes, jmax = elements, kmax = nodes per element. */
void ZelUtilZoneGetInfo(EntIndex_t zone, LgIndex_t* imax, LgIndex_t* jmax, LgIndex_t* kmax);
EntIndex_t ZelUtilZoneGetStrandID(EntIndex_t zone);
void ZelUtilZoneSetSolutionTime(EntIndex_t zone, double time);

/* ---- field values ---- */
Boolean_t ZelUtilDataValueCustomLOD(EntIndex_t zone, EntIndex_t var, LoadOnDemandVarLoad_pf load,
                                    LoadOnDemandVarUnload_pf unload, LoadOnDemandVarCleanup_pf cleanup,
                                    FieldValueGetFunction_pf getValue, FieldValueSetFunction_pf setValue,
                                    ArbParam_t clientData);
ArbParam_t ZelUtilDataValueGetClientData(FieldData_pa field);
/* values are float32 or int32 as the field's data type says; positions from 1 */
Boolean_t ZelUtilDataValueArraySetByRef(FieldData_pa field, LgIndex_t firstPosition, LgIndex_t count,
                                        const void* values);
void ZelUtilDataValueSetMinMaxByRef(FieldData_pa field, double minValue, double maxValue);
Boolean_t ZelUtilDataValueAlloc(EntIndex_t zone, EntIndex_t var);
FieldData_pa ZelUtilDataValueGetWritableRef(EntIndex_t zone, EntIndex_t var);
Boolean_t ZelUtilDataValueIsSharingOk(EntIndex_t sourceZone, EntIndex_t zone, EntIndex_t var);
Boolean_t ZelUtilDataValueShare(EntIndex_t sourceZone, EntIndex_t zone, EntIndex_t var);

/* ---- node maps ---- */
Boolean_t ZelUtilDataNodeCustomLOD(EntIndex_t zone, LoadOnDemandNodeMapLoad_pf load,
                                   LoadOnDemandNodeMapUnload_pf unload,
                                   LoadOnDemandNodeMapCleanup_pf cleanup, ArbParam_t clientData);
ArbParam_t ZelUtilDataNodeGetClientData(NodeMap_pa nodeMap);
/* nodes are 1-based node numbers; positions count entries from 1, element-major */
Boolean_t ZelUtilDataNodeArraySetByRef(NodeMap_pa nodeMap, LgIndex_t firstPosition, LgIndex_t count,
                                       const int32_t* nodes);
Boolean_t ZelUtilDataNodeAlloc(EntIndex_t zone);
/* 0-based node numbers, element-major; null when the host does not expose its storage */
int32_t* ZelUtilDataNodeGetWritableRawPtr(EntIndex_t zone);
NodeMap_pa ZelUtilDataNodeGetWritableRef(EntIndex_t zone);
Boolean_t ZelUtilDataNodeSetByRef(NodeMap_pa nodeMap, LgIndex_t element, int32_t corner, LgIndex_t node);

/* ---- face maps (polygon and polyhedron zones) ---- */
Boolean_t ZelUtilDataFaceMapCustomLOD(EntIndex_t zone, LgIndex_t numFaces, LgIndex_t numFaceNodes,
                                      LgIndex_t numBoundaryFaces, LgIndex_t numBoundaryConnections,
                                      LoadOnDemandFaceMapLoad_pf load, LoadOnDemandFaceMapUnload_pf unload,
                                      LoadOnDemandFaceMapCleanup_pf cleanup, ArbParam_t clientData);
ArbParam_t ZelUtilDataFaceMapGetClientData(FaceMap_pa faceMap);
/* Polygons: elementCounts = nodes per polygon, faceNodeCounts null, nodes = the polygons' nodes.
 * Polyhedra: elementCounts = faces per element, faceNodeCounts = nodes per face, nodes = face nodes.
 * Node numbers are 1-based. The host checks that the counts add up. */
Boolean_t ZelUtilDataFaceMapAssignElemToNodeMap(FaceMap_pa faceMap, LgIndex_t elementCount,
                                                const int32_t* elementCounts, const int32_t* faceNodeCounts,
                                                const int32_t* nodes);

#ifdef __cplusplus
}
#endif

#endif
