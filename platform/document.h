// A small document/view framework: a document owns data, views show it, and every change is
// announced to all views but the one that made it, with a hint saying what changed.
//
// Ownership: views are owned by whoever made them (the window); they attach themselves to one
// document, which keeps plain pointers to them and detaches them when it is destroyed.
#pragma once

#include <string>
#include <vector>

#include "platform/file_access.h"
#include "platform/prompt.h"
#include "platform/status.h"

namespace spanlab {

class CDocument;

// The question before a save replaces a read-only file: the file's path, then this text.
inline constexpr char kReplaceReadOnlyQuestion[] =
    " is read-only. Replace it with the model? (It stays read-only.)";

class CView {
 public:
  virtual ~CView();
  CDocument* GetDocument() const { return m_pDocument; }
  // Called for every change the document announces, unless this view sent it.
  virtual void OnUpdate(CView* sender, long hint) = 0;

 private:
  friend class CDocument;
  CDocument* m_pDocument = nullptr;
};

class CDocument {
 public:
  CDocument() = default;
  virtual ~CDocument();
  CDocument(const CDocument&) = delete;
  CDocument& operator=(const CDocument&) = delete;

  void AddView(CView* view);     // a view belongs to at most one document
  void RemoveView(CView* view);
  const std::vector<CView*>& GetViews() const { return m_views; }
  // Calls OnUpdate(sender, hint) on every view except `sender`.
  void UpdateAllViews(CView* sender, long hint = 0);

  bool IsModified() const { return m_bModified; }
  void SetModifiedFlag(bool modified = true) { m_bModified = modified; }
  const std::string& GetPathName() const { return m_strPathName; }
  void SetPathName(const std::string& path);  // also sets the title to the file name
  const std::string& GetTitle() const { return m_strTitle; }
  void SetTitle(const std::string& title) { m_strTitle = title; }

  // Empties the document: DeleteContents, no path, title "Untitled", not modified.
  virtual bool OnNewDocument();
  // Reads the file and hands its bytes to LoadDocument. On failure the document keeps what it
  // had and GetLastError() says why.
  virtual bool OnOpenDocument(const std::string& path);
  // Writes StoreDocument's bytes over the file (atomically: the old file survives any failure).
  // On success the path is the new one and the document is not modified.
  virtual bool OnSaveDocument(const std::string& path);
  // Whether a save to `path` may go ahead: true unless a file marked read-only stands there
  // (FileAccess::IsReadOnlyFile) and `prompter`, asked kReplaceReadOnlyQuestion, answers No.
  // The save keeps the file's permissions, so the new file is read-only too.
  bool MayReplace(const std::string& path, Prompter& prompter);
  // Releases derived data; called before new content arrives.
  virtual void DeleteContents() {}

  // Message of the last failed open or save.
  const std::string& GetLastError() const { return m_strLastError; }
  // Where files are read and written; the disk unless a test replaces it. Not owned.
  void SetFileAccess(FileAccess* files) { m_pFiles = files; }
  FileAccess& Files() const { return m_pFiles ? *m_pFiles : DefaultFileAccess(); }

 protected:
  // Serialisation. LoadDocument gets the file's bytes and its path (for messages); it must
  // leave the document unchanged when it fails.
  virtual Status LoadDocument(const std::string& bytes, const std::string& path) = 0;
  virtual std::string StoreDocument() const = 0;
  // Ok when StoreDocument's bytes can be opened again; a save is refused, before anything is
  // written, with this message otherwise.
  virtual Status CheckStorable() const { return Status::Ok(); }

 private:
  std::vector<CView*> m_views;
  bool m_bModified = false;
  std::string m_strPathName;
  std::string m_strTitle = "Untitled";
  std::string m_strLastError;
  FileAccess* m_pFiles = nullptr;
};

}  // namespace spanlab
