#!/usr/bin/env python3
# Writes the seed corpus of fuzz/corpus/ (run from fuzz/). The seeds are
# committed; this records how they were made.
import gzip, os
def w(target, name, data):
    d=f'corpus/{target}'; os.makedirs(d, exist_ok=True)
    if isinstance(data,str): data=data.encode('gb18030')
    open(f'{d}/{name}','wb').write(data)
zh='标题：春天的故事。第一段，内容在这里！\r\n第二段<b>加粗</b>文字，English words here.\r\n'
gbk=zh.encode('gb18030'); u8=zh.encode('utf-8')
html_head='<html><head><meta http-equiv="Content-Type" content="text/html; charset=%s"></head><body>'
# text_codec: the first byte selects input and output encoding and line breaks
w('text_codec','gbk_detect', b'\x00'+gbk)
w('text_codec','utf8_bom', b'\x07'+b'\xef\xbb\xbf'+u8)
w('text_codec','utf8_plain_lf', b'\x8e'+u8.replace(b'\r\n',b'\n'))
w('text_codec','utf16le_bom', b'\x15'+b'\xff\xfe'+zh.encode('utf-16-le'))
w('text_codec','utf16be_bom', b'\x1c'+b'\xfe\xff'+zh.encode('utf-16-be'))
w('text_codec','big5_forced', b'\x05'+'繁體中文的文章，內容。\r\n'.encode('big5'))
w('text_codec','meta_utf8', b'\x00'+(html_head%'utf-8').encode()+u8)
w('text_codec','meta_big5_quoted', b'\x00'+b'<meta charset="Big5">'+'繁體'.encode('big5'))
w('text_codec','meta_hkscs', b'\x00'+b"<head><meta charset='big5-hkscs'></head>"+'香港'.encode('big5hkscs'))
w('text_codec','nul_and_1a', b'\x00'+gbk[:10]+b'\x00\x1a'+b'<meta charset=utf-8>'+u8[:12])
w('text_codec','gb18030_four_byte', b'\x2a'+'𠀀𪚥€'.encode('gb18030')+b'\r\n')
# gzip
plain=(zh*20).encode('gb18030')
g1=gzip.compress(plain)
w('gzip','one_member', g1)
w('gzip','two_members', gzip.compress(plain[:50])+gzip.compress(plain[50:]))
w('gzip','truncated', g1[:len(g1)//2])
w('gzip','trailing_garbage', g1+b'garbage')
w('gzip','empty_member', gzip.compress(b''))
w('gzip','bomb', gzip.compress(b'\0'*(8<<20), 9))
w('gzip','not_gzip', b'plain text')
# ini_document: the first byte chooses whether the edits are saved to the file
ini='[主界面]\r\n编辑框关键词列表=关键词\r\n选择框插入标题=1\r\n[随机文本生成器]\r\n编辑框数量=10\r\n'.encode('gb18030')
w('ini_document','main_window', b'\x01'+ini)
w('ini_document','lf_only', b'\x00'+b'[A]\nk=v\n[B]\nk=w')
w('ini_document','duplicates', b'\x01'+b'[A]\r\nk=1\r\nk=2\r\n[A]\r\nk=3\r\n[B]x\r\n=e\r\n')
# regex: flags, then pattern, replacement and subject, each ended by a lone backslash
w('regex','group_replace', b'\x01\x01\x01(\\d+)-(\\w+)\\$2:$1 $& $$\\a 12-ab 34-cd\r\n56-ef')
w('regex','lazy_multiline', '\x01\x01\x00^<p>.*?</p>$\\[$`|$\']\\<p>一</p>\r\n<p>二</p>')
w('regex','chinese_class', '\x00\x01\x01[春夏秋冬]+\\\\u4E00\\第一春夏，秋冬。')
w('regex','runaway', b'\x01\x01\x01(?:\\S\\S)+\\s\\x\\'+b'a'*2000)
# keywords: keyword list, templates, title, separator
w('keywords','templates', '关键词一\r\n关键词二\r\n\r\nkeyword three\\<a href="#">*</a>|<b>*</b>|**：*|#标题#-#关键词#\\春天的故事\\|\\')
w('keywords','separators', '甲\r\n乙\r\n丙\\*\\标题\\\r\n\\，|。|\\\\n|！')
# tag_guard
w('tag_guard','html', '<p class="a">第一段</p>\r\n<br/>x > y <<b>粗</b> a<b<!-- c -->')
w('tag_guard','lead_bytes', b'\x81<a>\xfe<b>\x81\x30<i>')
# pipeline: the options come from the bytes at the end, the title and the
# content from the front
for i,(t,c) in enumerate([
  ('春天的故事', '<p>春天来了，花开了。</p>\r\n<p>小鸟在唱歌！English words here.</p>\r\n'),
  ('標題', '繁體中文的文章。第二句話，第三句！\r\n第二段。'),
  ('Title', 'Line one.\r\nLine two, with <a href="x">a link</a>.\r\n\r\nLast line')]):
    w('pipeline', f'article_{i}', ('关键词\r\n词二\\<b>*</b>|*\\'+t+'\\'+c).encode('gb18030')+bytes(range(i*37, i*37+80)))
