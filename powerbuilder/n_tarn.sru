$PBExportHeader$n_tarn.sru
$PBExportComments$Calls tarn.dll with the buffers sized for you (PowerBuilder 12.6 and later, 32-bit and 64-bit)
forward
global type n_tarn from nonvisualobject
end type
end forward

global type n_tarn from nonvisualobject
end type
global n_tarn n_tarn

type prototypes
// tarn.dll's exports. longptr is 4 bytes in a 32-bit build and 8 in a 64-bit one, so these
// serve both. Before PowerBuilder 12.6, replace them by the lines of tarn_external_32.txt.
function long Base64Decode(string as_source, long al_source_length, ref blob ablb_target, long al_target_size) library "tarn.dll" alias for "Base64Decode;Ansi"
function long Base64Encode(ref blob ablb_source, long al_source_length, ref string as_target, long al_target_size) library "tarn.dll" alias for "Base64Encode;Ansi"
function long CreateDir(string as_path) library "tarn.dll" alias for "CreateDir;Ansi"
function long Cryptogram(ref string as_text, string as_key) library "tarn.dll" alias for "Cryptogram;Ansi"
function long DelDir(string as_path) library "tarn.dll" alias for "DelDir;Ansi"
function long DelFile(string as_pattern) library "tarn.dll" alias for "DelFile;Ansi"
function long GetDirFiles(string as_pattern, ref string as_path_buffers[], long al_copy_paths) library "tarn.dll" alias for "GetDirFiles;Ansi"
function long GetQzDbUser(ref string as_user, ref string as_password) library "tarn.dll" alias for "GetQzDbUser;Ansi"
function long Processor(longptr al_window, double adb_fraction) library "tarn.dll" alias for "Processor;Ansi"
function long chmOpen(longptr al_owner, string as_help_file, long al_action, longptr al_data) library "tarn.dll" alias for "chmOpen;Ansi"
end prototypes

type variables
// The key the credential file qzon.id is enciphered with.
constant string CREDENTIAL_KEY = "mzq8rtbwe5hyxpl"
// Bytes a credential field, and a full path from of_dir_files, can take with the terminator.
constant long FIELD_BUFFER = 100
constant long PATH_BUFFER = 520
// Spare path buffers for files created between the counting and the filling call: tarn.dll is
// not told how many buffers there are.
constant long SPARE_PATHS = 64
end variables

forward prototypes
public function long of_encrypt (ref string as_text)
public function long of_encrypt (ref string as_text, string as_key)
public function long of_get_db_user (ref string as_user, ref string as_password)
public function string of_base64_encode (blob ablb_data)
public function blob of_base64_decode (string as_text)
public function long of_create_dir (string as_path)
public function long of_del_file (string as_pattern)
public function long of_del_dir (string as_path)
public function long of_dir_files (string as_pattern, ref string as_paths[])
public function long of_progress (longptr al_window, double adb_fraction)
public function long of_open_help (longptr al_owner, string as_help_file)
end prototypes

public function long of_encrypt (ref string as_text);// Enciphers or deciphers as_text in place with the credential file's key.
return of_encrypt(as_text, CREDENTIAL_KEY)
end function

public function long of_encrypt (ref string as_text, string as_key);// Enciphers or deciphers as_text in place; a second call with the same key restores it. The
// length never changes, so the string itself is room enough.
if IsNull(as_text) or IsNull(as_key) then return -1
return Cryptogram(as_text, as_key)
end function

public function long of_get_db_user (ref string as_user, ref string as_password);// Reads qzon.id from the current directory. Returns 0, or -1 with both arguments set to ""
// when the file cannot be read.
string ls_user, ls_password
long ll_result

ls_user = Space(FIELD_BUFFER)
ls_password = Space(FIELD_BUFFER)
ll_result = GetQzDbUser(ls_user, ls_password)
if ll_result <> 0 then
	as_user = ""
	as_password = ""
	return ll_result
end if
as_user = ls_user
as_password = ls_password
return 0
end function

public function string of_base64_encode (blob ablb_data);// The Base64 text of ablb_data; "" for an empty blob, a null string if the call fails.
string ls_text, ls_null
long ll_length, ll_size, ll_written

SetNull(ls_null)
if IsNull(ablb_data) then return ls_null
ll_length = Len(ablb_data)
if ll_length = 0 then return ""
// 4 * ceil(length / 3), with a division that is always exact.
ll_size = (ll_length + 2 - Mod(ll_length + 2, 3)) / 3 * 4
// One byte more than the text, so the result ends in a terminator.
ls_text = Space(ll_size + 1)
ll_written = Base64Encode(ablb_data, ll_length, ls_text, ll_size + 1)
if ll_written < 0 then return ls_null
return Left(ls_text, ll_written)
end function

public function blob of_base64_decode (string as_text);// The bytes of the Base64 text as_text; a null blob when it holds a character that is not
// Base64 (line breaks and blanks included).
blob lblb_data, lblb_null
long ll_length, ll_size, ll_written

SetNull(lblb_null)
if IsNull(as_text) then return lblb_null
ll_length = Len(as_text)
if ll_length = 0 then return Blob("", EncodingANSI!)
ll_size = (ll_length + 3 - Mod(ll_length + 3, 4)) / 4 * 3
lblb_data = Blob(Space(ll_size), EncodingANSI!)
ll_written = Base64Decode(as_text, ll_length, lblb_data, ll_size)
if ll_written < 0 then return lblb_null
return BlobMid(lblb_data, 1, ll_written)
end function

public function long of_create_dir (string as_path);// Creates as_path with every missing directory above it: 0 when it exists now, -1 otherwise.
return CreateDir(as_path)
end function

public function long of_del_file (string as_pattern);// Deletes the files matching as_pattern: 0, -1 when nothing matches, -2 when one could not go.
return DelFile(as_pattern)
end function

public function long of_del_dir (string as_path);// Removes the directory tree as_path: 0, or a negative code (see README.md).
return DelDir(as_path)
end function

public function long of_dir_files (string as_pattern, ref string as_paths[]);// Fills as_paths with the full paths of the files matching as_pattern and returns their
// number; -1 when nothing matches. Directories are left out.
string ls_buffers[], ls_none[]
long ll_count, ll_filled, ll_room, ll_i

as_paths = ls_none
ll_count = GetDirFiles(as_pattern, ls_buffers, 0)
if ll_count <= 0 then return ll_count

ll_room = ll_count + SPARE_PATHS
for ll_i = 1 to ll_room
	ls_buffers[ll_i] = Space(PATH_BUFFER)
next
ll_filled = GetDirFiles(as_pattern, ls_buffers, 1)
if ll_filled < 0 then return ll_filled
if ll_filled > ll_room then ll_filled = ll_room
for ll_i = 1 to ll_filled
	as_paths[ll_i] = ls_buffers[ll_i]
next
return ll_filled
end function

public function long of_progress (longptr al_window, double adb_fraction);// Paints a progress bar over the window al_window (as Handle() gives it): 0.0 empty, 1.0 full.
return Processor(al_window, adb_fraction)
end function

public function long of_open_help (longptr al_owner, string as_help_file);// Shows the compiled help file as_help_file, owned by the window al_owner.
return chmOpen(al_owner, as_help_file, 1, 0)
end function

on n_tarn.create
call super::create
TriggerEvent( this, "constructor" )
end on

on n_tarn.destroy
TriggerEvent( this, "destructor" )
call super::destroy
end on
