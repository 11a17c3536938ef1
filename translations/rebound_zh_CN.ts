<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>ErrorText</name>
    <message>
        <source>the data goes on beyond %1 bytes, the most read from a pipe or device</source>
        <translation>数据超过 %1 字节（从管道或设备读取的上限）</translation>
    </message>
    <message>
        <source>the data could not be read at byte %1: %2</source>
        <translation>在第 %1 字节处无法读取数据：%2</translation>
    </message>
    <message>
        <source>the data ends inside %1 at byte %2 (%3 bytes expected, %4 found)</source>
        <translation>数据在%1中的第 %2 字节处结束（应有 %3 字节，实有 %4 字节）</translation>
    </message>
    <message>
        <source>the data ends inside the length of %1 at byte %2 (%3 bytes expected, %4 found)</source>
        <translation>数据在%1的长度中的第 %2 字节处结束（应有 %3 字节，实有 %4 字节）</translation>
    </message>
    <message>
        <source>the data ends at byte %1, inside %2 (%3 x %4 bytes announced at byte %5, %6 remain)</source>
        <translation>数据在第 %1 字节处、%2中结束（第 %5 字节处声明 %3 × %4 字节，仅余 %6 字节）</translation>
    </message>
    <message>
        <source>the length of %1 at byte %2 is negative (%3)</source>
        <translation>第 %2 字节处%1的长度为负数（%3）</translation>
    </message>
    <message>
        <source>the length of %1 at byte %2 is %3, but only %4 bytes remain</source>
        <translation>第 %2 字节处%1的长度为 %3，但仅余 %4 字节</translation>
    </message>
    <message>
        <source>%1 is too long to be stored (%2 bytes)</source>
        <translation>%1过长，无法保存（%2 字节）</translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <translation>无法写入文件</translation>
    </message>
    <message>
        <source>there is not enough memory to hold it</source>
        <translation>内存不足</translation>
    </message>
    <message>
        <source>component %1 of %2</source>
        <translation>第 %1 个构件（共 %2 个）</translation>
    </message>
    <message>
        <source>area record %1 of %2</source>
        <translation>第 %1 个测区记录（共 %2 个）</translation>
    </message>
    <message>
        <source>a component has too many areas to be stored</source>
        <translation>构件的测区过多，无法保存</translation>
    </message>
    <message>
        <source>the project has too many components to be stored</source>
        <translation>工程的构件过多，无法保存</translation>
    </message>
    <message>
        <source>the device header announces %1 test areas; a device record holds at most 100</source>
        <translation>仪器文件头声明有 %1 个测区；仪器记录最多 100 个测区</translation>
    </message>
    <message>
        <source>a device record holds at most 100 test areas, not %1</source>
        <translation>仪器记录最多 100 个测区，而不是 %1 个</translation>
    </message>
    <message>
        <source>the area count %1 does not fit its field</source>
        <translation>测区数 %1 超出其字段范围</translation>
    </message>
    <message>
        <source>not a component file (expected .cmp, .tmp or .xcmp)</source>
        <translation>不是构件文件（应为 .cmp、.tmp 或 .xcmp）</translation>
    </message>
    <message>
        <source>is a folder, not a file</source>
        <translation>是文件夹，不是文件</translation>
    </message>
    <message>
        <source>cannot be opened</source>
        <translation>无法打开</translation>
    </message>
    <message>
        <source>the system reports: %1</source>
        <translation>系统报告：%1</translation>
    </message>
    <message>
        <source>the data</source>
        <translation>数据</translation>
    </message>
    <message>
        <source>an area record</source>
        <translation>测区记录</translation>
    </message>
    <message>
        <source>a device area record</source>
        <translation>仪器测区记录</translation>
    </message>
    <message>
        <source>the area count</source>
        <translation>测区数</translation>
    </message>
    <message>
        <source>the area records of the component</source>
        <translation>构件的测区记录</translation>
    </message>
    <message>
        <source>the area records of the device file</source>
        <translation>仪器文件的测区记录</translation>
    </message>
    <message>
        <source>the fixed block of the component</source>
        <translation>构件的定长数据块</translation>
    </message>
    <message>
        <source>the component count</source>
        <translation>构件数</translation>
    </message>
    <message>
        <source>the project name</source>
        <translation>工程名称</translation>
    </message>
    <message>
        <source>the project address</source>
        <translation>工程地址</translation>
    </message>
    <message>
        <source>the construction date</source>
        <translation>浇筑日期</translation>
    </message>
    <message>
        <source>the constructor</source>
        <translation>施工单位</translation>
    </message>
    <message>
        <source>the design organisation</source>
        <translation>设计单位</translation>
    </message>
    <message>
        <source>the supervising organisation</source>
        <translation>监理单位</translation>
    </message>
    <message>
        <source>the reserved text</source>
        <translation>备用文本</translation>
    </message>
    <message>
        <source>the concrete producer</source>
        <translation>混凝土生产单位</translation>
    </message>
    <message>
        <source>the commissioning company</source>
        <translation>委托单位</translation>
    </message>
    <message>
        <source>the measurement date</source>
        <translation>检测日期</translation>
    </message>
    <message>
        <source>the report number</source>
        <translation>报告编号</translation>
    </message>
    <message>
        <source>the measurement number</source>
        <translation>检测编号</translation>
    </message>
    <message>
        <source>the standard</source>
        <translation>检测依据</translation>
    </message>
    <message>
        <source>the project description</source>
        <translation>工程概况</translation>
    </message>
    <message>
        <source>the component name</source>
        <translation>构件名称</translation>
    </message>
    <message>
        <source>the device serial</source>
        <translation>仪器编号</translation>
    </message>
    <message>
        <source>the examination date</source>
        <translation>测试日期</translation>
    </message>
    <message>
        <source>the second date</source>
        <translation>第二日期</translation>
    </message>
    <message>
        <source>the curve file name</source>
        <translation>测强曲线文件名</translation>
    </message>
    <message>
        <source>the component description</source>
        <translation>构件描述</translation>
    </message>
    <message>
        <source>the file cannot be opened</source>
        <translation>无法打开文件</translation>
    </message>
    <message>
        <source>the file&apos;s content is damaged or not of this kind</source>
        <translation>文件内容已损坏或不是此类文件</translation>
    </message>
    <message>
        <source>this kind of file is not supported here</source>
        <translation>此处不支持这类文件</translation>
    </message>
    <message>
        <source>: </source>
        <translation>：</translation>
    </message>
    <message>
        <source>cannot be opened: the file does not exist</source>
        <translation>无法打开：文件不存在</translation>
    </message>
    <message>
        <source>cannot be opened: permission denied</source>
        <translation>无法打开：没有权限</translation>
    </message>
    <message>
        <source>cannot be opened: %1</source>
        <translation>无法打开：%1</translation>
    </message>
    <message>
        <source>the folder %1 does not exist</source>
        <translation>文件夹 %1 不存在</translation>
    </message>
    <message>
        <source>the link %1 belongs to %2, not to you or the owner of its folder, and is not followed</source>
        <translation>链接 %1 属于 %2，既不属于您，也不属于其所在文件夹的所有者，因此不会跟随该链接</translation>
    </message>
    <message>
        <source>cannot be locked for the change: its hidden lock file %1 is %2, owned by %3, and cannot be used; its owner or an administrator can remove it with %4</source>
        <translation>无法锁定以进行修改：其隐藏锁文件 %1 是%2，所有者为 %3，无法使用；其所有者或管理员可用 %4 删除它</translation>
    </message>
    <message>
        <source>is the same file as the input %1; it is not replaced and nothing was written</source>
        <translation>与输入文件 %1 是同一个文件；不会替换它，未写入任何内容</translation>
    </message>
    <message>
        <source>is larger than %1 bytes, the most %2 may hold</source>
        <translation>大于 %1 字节，超过%2允许的最大值</translation>
    </message>
    <message>
        <source>cannot be opened: not a regular file (a socket)</source>
        <translation>无法打开：不是普通文件（套接字）</translation>
    </message>
    <message>
        <source>cannot be opened: not a regular file</source>
        <translation>无法打开：不是普通文件</translation>
    </message>
    <message>
        <source>%1 byte follows %2 at byte %3</source>
        <translation>第 %3 字节处%2之后还有 %1 字节</translation>
    </message>
    <message>
        <source>%1 bytes follow %2 at byte %3</source>
        <translation>第 %3 字节处%2之后还有 %1 字节</translation>
    </message>
    <message>
        <source>the end of the component record</source>
        <translation>构件记录的结尾</translation>
    </message>
    <message>
        <source>the end of the project</source>
        <translation>工程的结尾</translation>
    </message>
    <message>
        <source>another program is changing the file</source>
        <translation>其他程序正在修改该文件</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>没有权限</translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <translation>文件为只读</translation>
    </message>
    <message>
        <source>there is no space left on the disk</source>
        <translation>磁盘空间已满</translation>
    </message>
    <message>
        <source>the disk quota is used up</source>
        <translation>磁盘配额已用完</translation>
    </message>
    <message>
        <source>the disk or share is read-only</source>
        <translation>磁盘或共享文件夹为只读</translation>
    </message>
    <message>
        <source>the folder does not exist</source>
        <translation>文件夹不存在</translation>
    </message>
    <message>
        <source>the file name is too long</source>
        <translation>文件名过长</translation>
    </message>
    <message>
        <source>the disk reported an input/output error</source>
        <translation>磁盘报告输入/输出错误</translation>
    </message>
    <message>
        <source>is not a regular file; it is left as it is</source>
        <translation>不是普通文件，已保持原样</translation>
    </message>
    <message>
        <source>the staging file was replaced by another program while it was written</source>
        <translation>写入期间临时文件被其他程序替换</translation>
    </message>
    <message>
        <source>the write was abandoned</source>
        <translation>写入已中止</translation>
    </message>
    <message>
        <source>areas %1 lie below the range of the curve: the estimate is below its lowest strength</source>
        <translation>测区 %1 低于测强曲线范围：推定值小于曲线最低强度</translation>
    </message>
    <message>
        <source>every area lies above the range of the curve: the estimate is above its highest strength</source>
        <translation>全部测区高于测强曲线范围：推定值大于曲线最高强度</translation>
    </message>
    <message>
        <source>areas %1 lie above the range of the curve and have no strength: no estimate</source>
        <translation>测区 %1 高于测强曲线范围，无换算强度：无推定值</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
</context>
<context>
    <name>FileFilter</name>
    <message>
        <source>Component(*.cmp;*.tmp;*.CMP;*.TMP;)</source>
        <translation>构件文件(*.cmp;*.tmp;*.CMP;*.TMP;)</translation>
    </message>
    <message>
        <source>Project(*.prj)</source>
        <translation>工程文件(*.prj)</translation>
    </message>
    <message>
        <source>All Files(*.*)</source>
        <translation>所有文件(*.*)</translation>
    </message>
    <message>
        <source>Excel(*.xls)</source>
        <translation>Excel 文件(*.xls)</translation>
    </message>
    <message>
        <source>Text(*.txt)</source>
        <translation>文本文件(*.txt)</translation>
    </message>
    <message>
        <source>Curve(*.cur)</source>
        <translation>测强曲线文件(*.cur)</translation>
    </message>
    <message>
        <source>PDF(*.pdf)</source>
        <translation>PDF 文件(*.pdf)</translation>
    </message>
    <message>
        <source>Pairs(*.csv)</source>
        <translation>试件数据(*.csv)</translation>
    </message>
</context>
<context>
    <name>ProjectDates</name>
    <message>
        <source>Measurement date</source>
        <translation>检测日期</translation>
    </message>
    <message>
        <source>Construction date</source>
        <translation>浇筑日期</translation>
    </message>
    <message>
        <source>Date of component %1</source>
        <translation>构件 %1 的测试日期</translation>
    </message>
    <message>
        <source>These dates of the project cannot be read as dates; they are kept unchanged:</source>
        <translation>本工程中以下日期无法识别，已按原样保留：</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot;</source>
        <translation>%1：“%2”</translation>
    </message>
    <message numerus="yes">
        <source>and %n more.</source>
        <translation>
            <numerusform>另有 %n 个。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ReportProgress</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>报告</translation>
    </message>
    <message>
        <source>Laying out pages...</source>
        <translation>正在排版...</translation>
    </message>
    <message>
        <source>Printing pages...</source>
        <translation>正在打印...</translation>
    </message>
    <message>
        <source>Writing the PDF...</source>
        <translation>正在生成 PDF...</translation>
    </message>
</context>
<context>
    <name>UserFolder</name>
    <message>
        <source>The shipped folder %1 is missing.</source>
        <translation>随程序安装的文件夹 %1 不存在。</translation>
    </message>
    <message>
        <source>Cannot create %1.</source>
        <translation>无法创建 %1。</translation>
    </message>
    <message>
        <source>Cannot read %1.</source>
        <translation>无法读取 %1。</translation>
    </message>
    <message>
        <source>Cannot write %1.</source>
        <translation>无法写入 %1。</translation>
    </message>
    <message>
        <source>Cannot copy %1 into %2.</source>
        <translation>无法将 %1 复制到 %2。</translation>
    </message>
</context>
<context>
    <name>UserPrompts</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Digital Concret Test Hammer</source>
        <translation>数字混凝土回弹仪</translation>
    </message>
</context>
<context>
    <name>launcher</name>
    <message>
        <source>Cannot start %1.</source>
        <translation>无法启动 %1。</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Unexpected error!</source>
        <translation>意外错误！</translation>
    </message>
    <message>
        <source>Opens a project file or imports component files.</source>
        <translation>打开工程文件或导入构件文件。</translation>
    </message>
    <message>
        <source>Project (.prj) or component files.</source>
        <translation>工程文件 (.prj) 或构件文件。</translation>
    </message>
    <message>
        <source>[FILE...]</source>
        <translation>[文件...]</translation>
    </message>
</context>
<context>
    <name>rebound::AreaGrid</name>
    <message>
        <source>Carb.
Depth</source>
        <translation>碳化
深度</translation>
    </message>
    <message>
        <source>Rm
</source>
        <translation>平均
回弹值</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>测试
角度</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>测试面</translation>
    </message>
    <message>
        <source>Fcu
(MPa)</source>
        <translation>测区强度
(MPa)</translation>
    </message>
    <message>
        <source>Horizontal</source>
        <extracomment>The tested surface: a side face, struck with the hammer held level.</extracomment>
        <translation>侧面</translation>
    </message>
    <message>
        <source>Downwards</source>
        <extracomment>The tested surface: the top (cast) face, struck from above.</extracomment>
        <translation>表面</translation>
    </message>
    <message>
        <source>Upwards</source>
        <extracomment>The tested surface: the bottom face, struck from below.</extracomment>
        <translation>底面</translation>
    </message>
    <message>
        <source>Not recalculated</source>
        <translation>未重新计算</translation>
    </message>
    <message>
        <source>The figures were not recalculated: %1</source>
        <translation>数值未重新计算：%1</translation>
    </message>
    <message>
        <source>Typed or changed by hand: not as the hammer recorded it</source>
        <translation>手工录入或修改：非回弹仪记录值</translation>
    </message>
    <message>
        <source>Conditions entered at the desk</source>
        <translation>测试条件为手工录入</translation>
    </message>
</context>
<context>
    <name>rebound::ComponentList</name>
    <message>
        <source>NO.</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Component Name</source>
        <translation>构件名称</translation>
    </message>
    <message>
        <source>Date&amp;Time</source>
        <translation>检测日期</translation>
    </message>
    <message>
        <source>Holds readings typed or changed by hand</source>
        <translation>含手工录入或修改的回弹值</translation>
    </message>
    <message>
        <source>Not recalculated</source>
        <translation>未重新计算</translation>
    </message>
</context>
<context>
    <name>rebound::ComponentPanel</name>
    <message>
        <source>Component Name:</source>
        <translation>构件名称：</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>检测日期：</translation>
    </message>
    <message>
        <source>Test Ares Numbers:</source>
        <extracomment>The number of test areas; the English label is spelt so on purpose.</extracomment>
        <translation>测区数：</translation>
    </message>
    <message>
        <source>Pump:</source>
        <translation>泵送：</translation>
    </message>
    <message>
        <source>Conv.Curve:</source>
        <translation>测强曲线：</translation>
    </message>
    <message>
        <source>Fcue:</source>
        <extracomment>The component&apos;s estimated strength.</extracomment>
        <translation>推定值：</translation>
    </message>
    <message>
        <source>F.min:</source>
        <translation>最小值：</translation>
    </message>
    <message>
        <source>F.Avg:</source>
        <translation>平均值：</translation>
    </message>
    <message>
        <source>F.SD:</source>
        <translation>标准差：</translation>
    </message>
    <message>
        <source> Component
Description</source>
        <translation>构件描述：</translation>
    </message>
    <message>
        <source>Strength Grade:</source>
        <translation>强度等级：</translation>
    </message>
    <message>
        <source>Not recalculated</source>
        <translation>未重新计算</translation>
    </message>
</context>
<context>
    <name>rebound::ProjectDocument</name>
    <message>
        <source>Edit Project Header</source>
        <translation>编辑工程信息</translation>
    </message>
    <message>
        <source>Delete Component</source>
        <translation>删除构件</translation>
    </message>
    <message>
        <source>Import Component</source>
        <translation>导入构件</translation>
    </message>
    <message>
        <source>Create Component</source>
        <translation>新建构件</translation>
    </message>
    <message>
        <source>Create Area</source>
        <translation>新建测区</translation>
    </message>
    <message>
        <source>Remove Area</source>
        <translation>删除测区</translation>
    </message>
    <message>
        <source>Edit Component Name</source>
        <translation>编辑构件名称</translation>
    </message>
    <message>
        <source>Edit Component Description</source>
        <translation>编辑构件描述</translation>
    </message>
    <message>
        <source>Edit Pumped Concrete</source>
        <translation>编辑泵送</translation>
    </message>
    <message>
        <source>Check Component</source>
        <translation>勾选构件</translation>
    </message>
    <message>
        <source>Calculate</source>
        <translation>计算</translation>
    </message>
    <message>
        <source>Edit Reading</source>
        <translation>编辑回弹值</translation>
    </message>
    <message>
        <source>Edit Carbonation Depth</source>
        <translation>编辑碳化深度</translation>
    </message>
    <message>
        <source>Edit Hammer Angle</source>
        <translation>编辑测试角度</translation>
    </message>
    <message>
        <source>Edit Tested Surface</source>
        <translation>编辑测试面</translation>
    </message>
    <message>
        <source>Edit Component Date</source>
        <translation>编辑检测日期</translation>
    </message>
    <message>
        <source>Edit Strength Grade</source>
        <translation>编辑强度等级</translation>
    </message>
    <message>
        <source>Batch Settings</source>
        <translation>批量设置</translation>
    </message>
    <message>
        <source>Edit Cores</source>
        <translation>编辑芯样</translation>
    </message>
    <message>
        <source>Tick Components</source>
        <translation>勾选构件</translation>
    </message>
    <message>
        <source>Evaluation Rules</source>
        <translation>计算规则</translation>
    </message>
</context>
<context>
    <name>rebound::ProjectPanel</name>
    <message>
        <source>Project Name:</source>
        <translation>工程名称：</translation>
    </message>
    <message>
        <source>Report NO.:</source>
        <translation>报告编号：</translation>
    </message>
    <message>
        <source>Measurement NO.:</source>
        <translation>检测编号：</translation>
    </message>
    <message>
        <source>Standard:</source>
        <translation>检测依据：</translation>
    </message>
    <message>
        <source>Project Description:</source>
        <translation>工程概况：</translation>
    </message>
    <message>
        <source>Entrustment
  Company</source>
        <translation>委托单位：</translation>
    </message>
    <message>
        <source>Measurement Date:</source>
        <translation>检测日期：</translation>
    </message>
    <message>
        <source>Project Address:</source>
        <translation>工程地址：</translation>
    </message>
    <message>
        <source>Supervisory
Organization</source>
        <translation>监理单位：</translation>
    </message>
    <message>
        <source>     Concrete 
Production Departmen</source>
        <extracomment>The concrete producer; the English label is spelt so on purpose.</extracomment>
        <translation>混凝土生产单位：</translation>
    </message>
    <message>
        <source>By correction</source>
        <translation>按修正值</translation>
    </message>
    <message>
        <source>By pumped-concrete curve</source>
        <translation>按泵送曲线</translation>
    </message>
    <message>
        <source>Pumped Concrete:</source>
        <translation>泵送混凝土：</translation>
    </message>
    <message>
        <source>Standard&apos;s arithmetic</source>
        <translation>按规程计算</translation>
    </message>
    <message>
        <source>Means in exact decimals rounded to 0.1, the representative carbonation depth rounded to the nearest 0.5 mm and used for every area</source>
        <translation>平均值按十进制精确计算并修约至 0.1，碳化深度代表值修约至最近的 0.5 mm 并用于全部测区</translation>
    </message>
</context>
<context>
    <name>rebound::ReportCommands</name>
    <message>
        <source>Print Preview Error!</source>
        <translation>打印预览出错！</translation>
    </message>
    <message>
        <source>Save File Fail!</source>
        <translation>保存文件失败！</translation>
    </message>
</context>
<context>
    <name>rebound::TAboutBox</name>
    <message>
        <source>About...</source>
        <translation>关于...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>rebound::TBatchForm</name>
    <message>
        <source>no component is ticked</source>
        <translation>没有勾选构件</translation>
    </message>
    <message>
        <source>components without test areas: %1</source>
        <translation>构件没有测区：%1</translation>
    </message>
    <message>
        <source>test areas outside the range of the curve (component/area): %1</source>
        <translation>测区超出测强曲线范围（构件/测区）：%1</translation>
    </message>
    <message>
        <source>fewer than 2 test areas, no standard deviation</source>
        <translation>测区少于 2 个，无法计算标准差</translation>
    </message>
    <message>
        <source>mean below %1 MPa and standard deviation above %2 MPa</source>
        <translation>平均值小于 %1 MPa 且标准差大于 %2 MPa</translation>
    </message>
    <message>
        <source>mean from %1 to %2 MPa and standard deviation above %3 MPa</source>
        <translation>平均值在 %1～%2 MPa 之间且标准差大于 %3 MPa</translation>
    </message>
    <message>
        <source>The batch estimate is valid.</source>
        <translation>批量推定有效。</translation>
    </message>
    <message>
        <source>The batch estimate is not valid; judge the components one by one: %1.</source>
        <translation>批量推定无效，应按单个构件推定：%1。</translation>
    </message>
    <message>
        <source>%1 of %2 components inspected, fewer than 30 % of the batch (at least %3).</source>
        <translation>抽检构件 %1 个，少于批总数 %2 个的 30%（至少 %3 个）。</translation>
    </message>
    <message>
        <source>%1 components inspected, fewer than %2.</source>
        <translation>抽检构件 %1 个，少于 %2 个。</translation>
    </message>
    <message>
        <source>A batch of fewer than 10 components is inspected in full: %1 of %2 inspected.</source>
        <translation>批总数少于 10 个时应全数检测：已检 %1 个，共 %2 个。</translation>
    </message>
    <message>
        <source>%1 components inspected, more than the %2 the batch holds.</source>
        <translation>抽检构件 %1 个，多于批总数 %2 个。</translation>
    </message>
    <message>
        <source>component %1, area %2</source>
        <translation>构件 %1 测区 %2</translation>
    </message>
    <message>
        <source>No correction: %1 cores, at least %2 are needed.</source>
        <translation>未修正：芯样 %1 个，至少需要 %2 个。</translation>
    </message>
    <message>
        <source>No correction: a core names component %1, which the project does not hold.</source>
        <translation>未修正：芯样所在的构件 %1 不存在。</translation>
    </message>
    <message>
        <source>No correction: a core names component %1, which is not ticked.</source>
        <translation>未修正：芯样所在的构件 %1 未勾选。</translation>
    </message>
    <message>
        <source>No correction: a core names %1, which the project does not hold.</source>
        <translation>未修正：芯样所在的%1不存在。</translation>
    </message>
    <message>
        <source>No correction: the core at %1 lies at an area without a strength.</source>
        <translation>未修正：%1的芯样所在测区没有换算强度。</translation>
    </message>
    <message>
        <source>No correction: the core at %1 is not above 0 and at most %2 MPa.</source>
        <translation>未修正：%1的芯样强度不在 0～%2 MPa 之内。</translation>
    </message>
    <message>
        <source>No correction: two cores at %1.</source>
        <translation>未修正：%1有两个芯样。</translation>
    </message>
    <message>
        <source>Correction amount</source>
        <translation>修正量法</translation>
    </message>
    <message>
        <source>Correction coefficient</source>
        <translation>修正系数法</translation>
    </message>
    <message>
        <source>Batch of components</source>
        <translation>批量构件</translation>
    </message>
    <message>
        <source>Tick All</source>
        <translation>全部勾选</translation>
    </message>
    <message>
        <source>Tick None</source>
        <translation>全部取消</translation>
    </message>
    <message>
        <source>Tick Selected</source>
        <translation>勾选选中的构件</translation>
    </message>
    <message>
        <source>Add Core</source>
        <translation>添加芯样</translation>
    </message>
    <message>
        <source>Delete Cores</source>
        <translation>删除芯样</translation>
    </message>
    <message>
        <source>Paste Cores</source>
        <translation>粘贴芯样</translation>
    </message>
    <message>
        <source>Print(&amp;P)</source>
        <translation>打印(&amp;P)</translation>
    </message>
    <message>
        <source>Print Preview(&amp;V)</source>
        <translation>打印预览(&amp;V)</translation>
    </message>
    <message>
        <source>PDF...</source>
        <translation>PDF...</translation>
    </message>
    <message>
        <source>Tick the components selected in the component list, untick the others</source>
        <translation>勾选构件列表中选中的构件，取消其他构件的勾选</translation>
    </message>
    <message>
        <source>Paste rows of component, area and strength copied from a spreadsheet</source>
        <translation>粘贴从电子表格复制的构件、测区和强度</translation>
    </message>
    <message>
        <source>Inspect this project by batch</source>
        <translation>本项目按批量检测</translation>
    </message>
    <message>
        <source>k:</source>
        <translation>k：</translation>
    </message>
    <message>
        <source>Factor of the estimate: mean - k x standard deviation (1.645: 95 % assurance)</source>
        <translation>推定系数：平均值 − k × 标准差（1.645：95% 保证率）</translation>
    </message>
    <message>
        <source>Components in the batch on site:</source>
        <translation>批总构件数：</translation>
    </message>
    <message>
        <source>not stated</source>
        <translation>未填写</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Component</source>
        <translation>构件</translation>
    </message>
    <message>
        <source>Areas</source>
        <translation>测区数</translation>
    </message>
    <message>
        <source>Mean (MPa)</source>
        <translation>平均值(MPa)</translation>
    </message>
    <message>
        <source>SD (MPa)</source>
        <translation>标准差(MPa)</translation>
    </message>
    <message>
        <source>Min (MPa)</source>
        <translation>最小值(MPa)</translation>
    </message>
    <message>
        <source>Estimate (MPa)</source>
        <translation>推定值(MPa)</translation>
    </message>
    <message>
        <source>Corrected mean</source>
        <translation>修正后平均值</translation>
    </message>
    <message>
        <source>Corrected min</source>
        <translation>修正后最小值</translation>
    </message>
    <message>
        <source>Corrected estimate</source>
        <translation>修正后推定值</translation>
    </message>
    <message>
        <source>Correction by cores or cubes</source>
        <translation>芯样或试块修正</translation>
    </message>
    <message>
        <source>Method:</source>
        <translation>方法：</translation>
    </message>
    <message>
        <source>Component No.</source>
        <translation>构件序号</translation>
    </message>
    <message>
        <source>Area No.</source>
        <translation>测区号</translation>
    </message>
    <message>
        <source>Core strength (MPa)</source>
        <translation>芯样强度(MPa)</translation>
    </message>
    <message>
        <source>Area strength (MPa)</source>
        <translation>测区强度(MPa)</translation>
    </message>
    <message>
        <source>Ratio</source>
        <translation>比值</translation>
    </message>
    <message>
        <source>This project is not inspected by batch: tick the box above to judge the ticked components together.</source>
        <translation>本项目不按批量检测：勾选上方的选项，将勾选的构件作为一批推定。</translation>
    </message>
    <message>
        <source>Batch: %1 components, n = %2 areas, m = %3 MPa, S = %4 MPa, k = %5, fe = %6 MPa</source>
        <translation>批量：%1 个构件，n = %2 个测区，m = %3 MPa，S = %4 MPa，k = %5，fe = %6 MPa</translation>
    </message>
    <message>
        <source>Batch: %1 components, n = %2 areas, m = %3 MPa</source>
        <translation>批量：%1 个构件，n = %2 个测区，m = %3 MPa</translation>
    </message>
    <message>
        <source>Kept as they are: %1</source>
        <translation>保持原样：%1</translation>
    </message>
    <message>
        <source>%1, %2 pairs, %3: corrected m = %4 MPa, S = %5 MPa, fe = %6 MPa. %7</source>
        <translation>%1，芯样 %2 个，%3：修正后 m = %4 MPa，S = %5 MPa，fe = %6 MPa。%7</translation>
    </message>
    <message>
        <source>Component %1</source>
        <translation>构件 %1</translation>
    </message>
    <message>
        <source>%1: %2, %3 pairs, %4: corrected mean %5 MPa, min %6 MPa, estimate %7 MPa</source>
        <translation>%1：%2，芯样 %3 个，%4：修正后平均值 %5 MPa，最小值 %6 MPa，推定值 %7 MPa</translation>
    </message>
    <message>
        <source>No cores: enter at least %1, each with the component and test area it was taken at.</source>
        <translation>没有芯样：至少输入 %1 个，每个注明所在的构件和测区。</translation>
    </message>
    <message>
        <source>Enter the component number, the area number (both from 1) and the core strength in MPa (above 0, at most %1).</source>
        <translation>请输入构件序号、测区号（均从 1 起）和芯样强度 MPa（大于 0，不超过 %1）。</translation>
    </message>
    <message>
        <source>The project holds no area %1 of component %2.</source>
        <translation>项目中没有构件 %2 的测区 %1。</translation>
    </message>
    <message>
        <source>This area has no strength (outside the curve).</source>
        <translation>该测区没有换算强度（超出测强曲线范围）。</translation>
    </message>
    <message>
        <source>The change cannot be kept: %1. That spare text holds something else and is left as it is.</source>
        <translation>无法保存此修改：%1。该备用文本中另有内容，保持原样。</translation>
    </message>
    <message>
        <source>Line %1 of the pasted text is not a core: %2</source>
        <translation>粘贴文本的第 %1 行不是芯样：%2</translation>
    </message>
    <message>
        <source>The clipboard holds no cores: copy rows of component number, area number and core strength.</source>
        <translation>剪贴板中没有芯样：请复制构件序号、测区号和芯样强度的行。</translation>
    </message>
    <message>
        <source>test areas with a stored strength outside 0 to %1 MPa or not a number (component/area): %2</source>
        <translation>测区强度超出 0～%1 MPa 或不是数值（构件/测区）：%2</translation>
    </message>
    <message>
        <source>the estimate is not a strength above 0 MPa</source>
        <translation>推定值不是大于 0 MPa 的强度</translation>
    </message>
</context>
<context>
    <name>rebound::TCreateStrengthCurveFrm</name>
    <message>
        <source>Fit to paired tests</source>
        <translation>由试件数据拟合</translation>
    </message>
    <message>
        <source>Published formula</source>
        <translation>已发布的公式</translation>
    </message>
    <message>
        <source>Special curve</source>
        <translation>专用曲线</translation>
    </message>
    <message>
        <source>Regional curve</source>
        <translation>地区曲线</translation>
    </message>
    <message>
        <source>%1 (δ ≤ %2 %, eᵣ ≤ %3 %)</source>
        <translation>%1（δ ≤ %2 %，eᵣ ≤ %3 %）</translation>
    </message>
    <message>
        <source>Kind:</source>
        <translation>曲线类别：</translation>
    </message>
    <message>
        <source>Rm</source>
        <translation>Rm</translation>
    </message>
    <message>
        <source>dm (mm)</source>
        <translation>dm (mm)</translation>
    </message>
    <message>
        <source>f (MPa)</source>
        <translation>f (MPa)</translation>
    </message>
    <message>
        <source>Open CSV(&amp;O)...</source>
        <translation>打开 CSV(&amp;O)...</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>f = A · Rm^B · 10^(C · dm)</source>
        <translation>f = A · Rm^B · 10^(C · dm)</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>C</source>
        <translation>C</translation>
    </message>
    <message>
        <source>Rm from</source>
        <translation>Rm 从</translation>
    </message>
    <message>
        <source>to</source>
        <translation>至</translation>
    </message>
    <message>
        <source>dm from (mm)</source>
        <translation>dm 从 (mm)</translation>
    </message>
    <message>
        <source>Strength from (MPa)</source>
        <translation>强度从 (MPa)</translation>
    </message>
    <message>
        <source>name in the curve folder</source>
        <translation>曲线文件夹中的文件名</translation>
    </message>
    <message>
        <source>Save Curve(&amp;S)</source>
        <translation>保存曲线(&amp;S)</translation>
    </message>
    <message>
        <source>Print(&amp;P)...</source>
        <translation>打印(&amp;P)...</translation>
    </message>
    <message>
        <source>Preview(&amp;V)...</source>
        <translation>打印预览(&amp;V)...</translation>
    </message>
    <message>
        <source>PDF(&amp;D)...</source>
        <translation>PDF(&amp;D)...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Curve name:</source>
        <translation>曲线名称：</translation>
    </message>
    <message>
        <source>dm</source>
        <translation>dm</translation>
    </message>
    <message>
        <source>f</source>
        <translation>f</translation>
    </message>
    <message>
        <source>Row %1: %2 is not a number (write a decimal point).</source>
        <translation>第 %1 行：%2 不是数字（请用小数点）。</translation>
    </message>
    <message>
        <source>A curve needs at least %1 pairs; the table holds %2.</source>
        <translation>建立曲线至少需要 %1 组试件数据，表中只有 %2 组。</translation>
    </message>
    <message>
        <source>Every pair has the same rebound value; B cannot be fitted.</source>
        <translation>所有试件的回弹值相同，无法拟合 B。</translation>
    </message>
    <message>
        <source>The rebound values and depths vary together; B and C cannot be told apart.</source>
        <translation>回弹值与碳化深度同步变化，无法区分 B 与 C。</translation>
    </message>
    <message>
        <source>A = %1
B = %2
C = %3
n = %4
r = %5
δ = %6 %
eᵣ = %7 %</source>
        <translation>A = %1
B = %2
C = %3
n = %4
r = %5
δ = %6 %
eᵣ = %7 %</translation>
    </message>
    <message>
        <source>Accepted: δ ≤ %1 % and eᵣ ≤ %2 %.</source>
        <translation>合格：δ ≤ %1 % 且 eᵣ ≤ %2 %。</translation>
    </message>
    <message>
        <source>Not accepted: the limits are δ ≤ %1 % and eᵣ ≤ %2 %.</source>
        <translation>不合格：限值为 δ ≤ %1 %，eᵣ ≤ %2 %。</translation>
    </message>
    <message>
        <source>Only %1 pairs; a special curve is normally built from at least %2.</source>
        <translation>只有 %1 组试件数据；专用曲线通常至少需要 %2 组。</translation>
    </message>
    <message>
        <source>Every pair has the depth %1 mm: C is not fitted and the curve holds for that depth only.</source>
        <translation>所有试件的碳化深度均为 %1 mm：未拟合 C，曲线只适用于该碳化深度。</translation>
    </message>
    <message>
        <source>Rm to</source>
        <translation>Rm 至</translation>
    </message>
    <message>
        <source>dm from</source>
        <translation>dm 从</translation>
    </message>
    <message>
        <source>dm to</source>
        <translation>dm 至</translation>
    </message>
    <message>
        <source>strength from</source>
        <translation>强度从</translation>
    </message>
    <message>
        <source>strength to</source>
        <translation>强度至</translation>
    </message>
    <message>
        <source>Enter a number (with a decimal point) for: %1.</source>
        <translation>请为以下各项输入数字（用小数点）：%1。</translation>
    </message>
    <message>
        <source>A must be above 0.</source>
        <translation>A 必须大于 0。</translation>
    </message>
    <message>
        <source>Each range needs its low end at most its high end; depths lie within 0.0 to %1 mm, strengths above 0 and at most %2 MPa.</source>
        <translation>每个范围的下限不得大于上限；碳化深度在 0.0 至 %1 mm 之间，强度大于 0 且不超过 %2 MPa。</translation>
    </message>
    <message>
        <source>A = %1
B = %2
C = %3</source>
        <translation>A = %1
B = %2
C = %3</translation>
    </message>
    <message>
        <source>A published curve is taken as published.</source>
        <translation>已发布的曲线按发布的公式采用。</translation>
    </message>
    <message>
        <source>No cell of the curve lies within the ranges; the curve would hold no strength.</source>
        <translation>曲线没有任何格点落在适用范围内，曲线将不含任何强度值。</translation>
    </message>
    <message>
        <source>The pairs file %1 cannot be read: %2</source>
        <translation>无法读取试件数据文件 %1：%2</translation>
    </message>
    <message>
        <source>The clipboard holds no pairs: copy three columns Rm, dm, f.</source>
        <translation>剪贴板中没有试件数据：请复制 Rm、dm、f 三列。</translation>
    </message>
    <message>
        <source>Enter a file name without a folder for the curve.</source>
        <translation>请为曲线输入不含文件夹的文件名。</translation>
    </message>
    <message>
        <source>Save Curve</source>
        <translation>保存曲线</translation>
    </message>
    <message>
        <source>The curve is not accepted as a %1 curve. Save it all the same?</source>
        <translation>该曲线未达到%1曲线的合格要求。仍要保存吗？</translation>
    </message>
    <message>
        <source>special</source>
        <translation>专用</translation>
    </message>
    <message>
        <source>regional</source>
        <translation>地区</translation>
    </message>
    <message>
        <source>normal.cur is the standard curve. Replace it with this curve?</source>
        <translation>normal.cur 是标准曲线。要用此曲线替换它吗？</translation>
    </message>
    <message>
        <source>A curve named %1 exists. Replace it?</source>
        <translation>已有名为 %1 的曲线。要替换它吗？</translation>
    </message>
    <message>
        <source>Save File Fail!</source>
        <translation>保存文件失败！</translation>
    </message>
    <message>
        <source>The curve was saved as %1.</source>
        <translation>曲线已保存为 %1。</translation>
    </message>
    <message>
        <source>Print Preview Error!</source>
        <translation>打印预览出错！</translation>
    </message>
    <message>
        <source>Across: measured strength, up: curve strength (MPa); the line marks equality.</source>
        <translation>横轴为实测强度，纵轴为曲线强度 (MPa)；斜线为等值线。</translation>
    </message>
    <message>
        <source>Warn below</source>
        <translation>少于</translation>
    </message>
    <message>
        <source>pairs</source>
        <translation>组时提醒</translation>
    </message>
    <message>
        <source>Type, paste or open the pairs: Rm, dm in mm, f in MPa, one specimen a row.</source>
        <translation>输入、粘贴或打开试件数据：Rm、dm (mm)、f (MPa)，每行一个试件。</translation>
    </message>
    <message>
        <source>Row %1: the rebound value must lie from %2 to %3.</source>
        <translation>第 %1 行：回弹值应在 %2～%3 之间。</translation>
    </message>
    <message>
        <source>Row %1: the carbonation depth must lie between %2 and %3 mm.</source>
        <translation>第 %1 行：碳化深度应在 %2～%3 mm 之间。</translation>
    </message>
    <message>
        <source>Row %1: the strength must lie from %2 to %3 MPa.</source>
        <translation>第 %1 行：强度应在 %2～%3 MPa 之间。</translation>
    </message>
    <message>
        <source>Not accepted: %1 pairs, fewer than the %2 a curve is accepted with.</source>
        <translation>不合格：只有 %1 组数据，少于曲线合格所需的 %2 组。</translation>
    </message>
    <message>
        <source>Create Strength Curve</source>
        <translation>建立测强曲线</translation>
    </message>
</context>
<context>
    <name>rebound::TLoadStrengthCurveFrm</name>
    <message>
        <source>Curve folder not found!</source>
        <translation>找不到测强曲线文件夹！</translation>
    </message>
    <message>
        <source>The strength curve %1 cannot be read.</source>
        <translation>无法读取测强曲线%1。</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>The strength curve %1 is used now, but the choice could not be saved for the next start.</source>
        <translation>现在使用测强曲线%1，但该选择未能保存，下次启动时不会沿用。</translation>
    </message>
    <message>
        <source>Load Strength Curve</source>
        <translation>加载测强曲线</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Current strength curve: </source>
        <translation>当前测强曲线：</translation>
    </message>
</context>
<context>
    <name>rebound::TSDIAppForm</name>
    <message>
        <source>New Project(&amp;N)</source>
        <translation>新建工程(&amp;N)</translation>
    </message>
    <message>
        <source>Open Project(&amp;O)</source>
        <translation>打开工程(&amp;O)</translation>
    </message>
    <message>
        <source>Save(&amp;S)</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save project</source>
        <translation>保存工程</translation>
    </message>
    <message>
        <source>Save as(&amp;A)...</source>
        <translation>另存为(&amp;A)...</translation>
    </message>
    <message>
        <source>Save as the project</source>
        <translation>将工程另存为</translation>
    </message>
    <message>
        <source>Quit(&amp;X)</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>剪切(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
    <message>
        <source>Abort(&amp;A)</source>
        <extracomment>Opens the About box; the English caption is spelt so on purpose.</extracomment>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>Delete Component(&amp;D)</source>
        <translation>删除构件(&amp;D)</translation>
    </message>
    <message>
        <source>Import Component(&amp;I)</source>
        <translation>导入构件(&amp;I)</translation>
    </message>
    <message>
        <source>Print Setup(&amp;U)</source>
        <translation>打印设置(&amp;U)</translation>
    </message>
    <message>
        <source>Print Preview(&amp;V)</source>
        <translation>打印预览(&amp;V)</translation>
    </message>
    <message>
        <source>Print(&amp;P)</source>
        <translation>打印(&amp;P)</translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>File related commands</source>
        <translation>文件相关命令</translation>
    </message>
    <message>
        <source>Export Text File</source>
        <translation>导出文本文件</translation>
    </message>
    <message>
        <source>Export to Excel</source>
        <translation>导出到Excel</translation>
    </message>
    <message>
        <source>Edit(&amp;E)</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>Edit commands</source>
        <translation>编辑命令</translation>
    </message>
    <message>
        <source>Data(&amp;D)</source>
        <translation>数据(&amp;D)</translation>
    </message>
    <message>
        <source>Caculate(&amp;S)</source>
        <extracomment>Calculates the current component; the English caption is spelt so on purpose.</extracomment>
        <translation>计算(&amp;S)</translation>
    </message>
    <message>
        <source>Delect Component(&amp;D)</source>
        <extracomment>Deletes the selected component; the English caption is spelt so on purpose.</extracomment>
        <translation>删除构件(&amp;D)</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 已存在。
要替换它吗？</translation>
    </message>
    <message>
        <source>Save Project Fail!</source>
        <translation>保存工程失败！</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>Save changes to current project?</source>
        <translation>是否保存对当前工程的修改？</translation>
    </message>
    <message>
        <source>Open Project Fail!</source>
        <translation>打开工程失败！</translation>
    </message>
    <message>
        <source>Import Component</source>
        <translation>导入构件</translation>
    </message>
    <message numerus="yes">
        <source>Importing %n component file(s)...</source>
        <translation>
            <numerusform>正在导入 %n 个构件文件...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>... and %n more</source>
        <translation>
            <numerusform>……另有 %n 个</numerusform>
        </translation>
    </message>
    <message>
        <source>These components are already in the project with the same name, date and readings:</source>
        <translation>下列构件已在工程中，名称、日期和回弹值均相同：</translation>
    </message>
    <message>
        <source>Skip them? (No imports them again.)</source>
        <translation>跳过这些构件吗？（选“否”则再次导入。）</translation>
    </message>
    <message>
        <source>Import Component Fail!</source>
        <translation>导入构件失败！</translation>
    </message>
    <message>
        <source>Save File Fail!</source>
        <translation>保存文件失败！</translation>
    </message>
    <message>
        <source>Delete component &quot;%1&quot;?</source>
        <translation>删除构件“%1”吗？</translation>
    </message>
    <message>
        <source>These are neither projects nor component files and were not opened:</source>
        <translation>下列文件既不是工程文件也不是构件文件，未打开：</translation>
    </message>
    <message>
        <source>Only one project can be open at a time; these were not opened:</source>
        <translation>一次只能打开一个工程，下列工程未打开：</translation>
    </message>
    <message>
        <source>The project file %1 no longer exists; it was removed from the recent projects.</source>
        <translation>工程文件 %1 已不存在，已从最近的工程中移除。</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>跟随系统</translation>
    </message>
    <message>
        <source>The window will be shown in %1 from the next start of the program.</source>
        <translation>下次启动程序时，窗口将以%1显示。</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>文件不存在</translation>
    </message>
    <message>
        <source>it is a folder, not a file</source>
        <translation>它是文件夹，不是文件</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>它不是普通文件</translation>
    </message>
    <message>
        <source>it cannot be opened</source>
        <translation>无法打开该文件</translation>
    </message>
    <message>
        <source>its header announces %1 rows and %2 columns; the evaluation needs at least %3 rows and %4 columns</source>
        <translation>文件头标明 %1 行 %2 列，计算至少需要 %3 行 %4 列</translation>
    </message>
    <message>
        <source>it holds %1 of the %2 values its header announces</source>
        <translation>文件头标明 %2 个数值，实际只有 %1 个</translation>
    </message>
    <message>
        <source>the value at row %1, column %2 (counted from 0) is %3</source>
        <translation>第 %1 行第 %2 列（从 0 计）的数值为 %3</translation>
    </message>
    <message>
        <source>the value at row %1, column %2 (counted from 0) is %3 MPa, outside 0 to %4 MPa</source>
        <translation>第 %1 行第 %2 列（从 0 计）的数值为 %3 MPa，超出 0 至 %4 MPa 的范围</translation>
    </message>
    <message>
        <source>The strength curve %1 cannot be used: %2.
Nothing was calculated.</source>
        <translation>测强曲线 %1 无法使用：%2。
未进行计算。</translation>
    </message>
    <message>
        <source>Areas below the range of the strength curve, without a strength: %1</source>
        <translation>低于测强曲线范围、无强度换算值的测区：%1</translation>
    </message>
    <message>
        <source>Areas above the range of the strength curve, without a strength: %1</source>
        <translation>高于测强曲线范围、无强度换算值的测区：%1</translation>
    </message>
    <message>
        <source>The estimated strength is not valid with this curve.</source>
        <translation>用此测强曲线得出的推定值无效。</translation>
    </message>
    <message>
        <source>Carbonation was not measured in any area; the areas were converted at 0.0 mm.</source>
        <translation>所有测区均未测量碳化深度，各测区按碳化深度 0.0 mm 换算。</translation>
    </message>
    <message>
        <source>Component %1:</source>
        <translation>构件 %1：</translation>
    </message>
    <message>
        <source>Preview the test records of every component</source>
        <translation>预览各构件的检测原始记录</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Undo the last change</source>
        <translation>撤销上一步修改</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>Redo the change undone last</source>
        <translation>重做上一步撤销的修改</translation>
    </message>
    <message>
        <source>Create components and areas, and edit readings and conditions in the grid</source>
        <translation>新建构件和测区，并在表格中编辑回弹值和测试条件</translation>
    </message>
    <message>
        <source>New Project</source>
        <translation>新建工程</translation>
    </message>
    <message>
        <source>%1 was changed by another program since it was opened or saved here.

Yes: overwrite it with this project, losing the other program&apos;s changes.
No: save this project under another name.
Cancel: do not save.</source>
        <translation>%1 在此处打开或保存后已被其他程序修改。

是：用本工程覆盖它，其他程序所做的修改将丢失。
否：将本工程另存为其他名称。
取消：不保存。</translation>
    </message>
    <message>
        <source>%1 was changed by another program.
Reload it and discard the changes not saved here?</source>
        <translation>%1 已被其他程序修改。
是否重新载入，并放弃此处未保存的修改？</translation>
    </message>
    <message>
        <source>%1 was changed by another program.
Reload it?</source>
        <translation>%1 已被其他程序修改。
是否重新载入？</translation>
    </message>
    <message>
        <source>Your settings (recent projects, edit mode, window layout) could not be saved:</source>
        <translation>无法保存您的设置（最近的工程、编辑模式、窗口布局）：</translation>
    </message>
    <message>
        <source>%1 cannot be written.</source>
        <translation>无法写入%1。</translation>
    </message>
    <message>
        <source>%1 is not a settings file.</source>
        <translation>%1不是设置文件。</translation>
    </message>
    <message>
        <source>Create a new project</source>
        <translation>新建工程文件</translation>
    </message>
    <message>
        <source>Open a project file</source>
        <translation>打开工程文件</translation>
    </message>
    <message>
        <source>Quit the program</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Cut the selection to the clipboard</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>Copy the selection to the clipboard</source>
        <translation>拷贝</translation>
    </message>
    <message>
        <source>Paste from the clipboard</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>Edit Test Data(&amp;D)</source>
        <translation>编辑测试数据(&amp;D)</translation>
    </message>
    <message>
        <source>About the program</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>New Component(&amp;C)</source>
        <translation>新建构件(&amp;C)</translation>
    </message>
    <message>
        <source>Create a component with one test area</source>
        <translation>新建构件</translation>
    </message>
    <message>
        <source>Delete the selected component</source>
        <translation>删除构件</translation>
    </message>
    <message>
        <source>Import component files from the hammer or another project</source>
        <translation>导入构件</translation>
    </message>
    <message>
        <source>Export Component(&amp;E)</source>
        <translation>导出构件(&amp;E)</translation>
    </message>
    <message>
        <source>Export the selected component to a component file</source>
        <translation>导出构件</translation>
    </message>
    <message>
        <source>New Area(&amp;A)</source>
        <translation>新建测区(&amp;A)</translation>
    </message>
    <message>
        <source>Add a test area to the current component</source>
        <translation>新建测区</translation>
    </message>
    <message>
        <source>Delete Area(&amp;R)</source>
        <translation>删除测区(&amp;R)</translation>
    </message>
    <message>
        <source>Delete the selected test areas</source>
        <translation>删除测区</translation>
    </message>
    <message>
        <source>Export the report as a text file</source>
        <translation>将报告输出为文本</translation>
    </message>
    <message>
        <source>Export the report to an Excel file</source>
        <translation>将报告生成为Excel</translation>
    </message>
    <message>
        <source>Choose the paper, orientation and margins</source>
        <translation>打印设置</translation>
    </message>
    <message>
        <source>Preview the test report</source>
        <translation>打印预览</translation>
    </message>
    <message>
        <source>Test Records(&amp;T)</source>
        <translation>检测原始记录(&amp;T)</translation>
    </message>
    <message>
        <source>Create Strength Curve(&amp;B)</source>
        <translation>建立测强曲线(&amp;B)</translation>
    </message>
    <message>
        <source>Fit a strength curve to pairs of rebound values and core strengths</source>
        <translation>建立测强曲线</translation>
    </message>
    <message>
        <source>Export Report Document(&amp;X)</source>
        <translation>输出报告文档(&amp;X)</translation>
    </message>
    <message>
        <source>Export the report as a document</source>
        <translation>输出报告</translation>
    </message>
    <message>
        <source>Calculate Component(&amp;S)</source>
        <translation>计算单个构件(&amp;S)</translation>
    </message>
    <message>
        <source>Calculate the current component</source>
        <translation>计算</translation>
    </message>
    <message>
        <source>Batch Inspection(&amp;G)</source>
        <translation>计算批量构件(&amp;G)</translation>
    </message>
    <message>
        <source>Evaluate components as an inspection lot</source>
        <translation>批量计算</translation>
    </message>
    <message>
        <source>Print the test report</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>Load Strength Curve(&amp;L)</source>
        <translation>加载测强曲线(&amp;L)</translation>
    </message>
    <message>
        <source>Choose the strength curve used for calculation</source>
        <translation>加载测强曲线</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>Recent Projects(&amp;R)</source>
        <translation>最近的工程(&amp;R)</translation>
    </message>
    <message>
        <source>New Component</source>
        <translation>新构件</translation>
    </message>
    <message>
        <source>Save the project under another name?</source>
        <translation>是否将工程另存为其他文件？</translation>
    </message>
    <message>
        <source>%1 is not a project file but a component file; Import Component reads it.</source>
        <translation>%1 不是工程文件，而是构件文件，请用“导入构件”读取。</translation>
    </message>
    <message>
        <source>%1 is a damaged project file.</source>
        <translation>%1 是已损坏的工程文件。</translation>
    </message>
    <message>
        <source>%1 is not a project file.</source>
        <translation>%1 不是工程文件。</translation>
    </message>
    <message>
        <source>The strength curve %1 you use does not exist!</source>
        <translation>您所使用的测强曲线%1不存在！</translation>
    </message>
    <message>
        <source>Export Report Document</source>
        <translation>输出报告文档</translation>
    </message>
    <message>
        <source>The strength curve could not be read!</source>
        <translation>测强曲线读取失败！</translation>
    </message>
    <message>
        <source>Language(&amp;L)</source>
        <translation>语言(&amp;L)</translation>
    </message>
</context>
<context>
    <name>rebound::TStrengthCurve_Syn_Form</name>
    <message>
        <source>Choices Dialog</source>
        <translation>选择对话框</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Device curves:</source>
        <translation>设备曲线：</translation>
    </message>
    <message>
        <source>Curves on this computer:</source>
        <translation>本机曲线：</translation>
    </message>
</context>
<context>
    <name>rebound::report::ReportPreviewDialog</name>
    <message>
        <source>First page</source>
        <translation>第一页</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>上一页</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>下一页</translation>
    </message>
    <message>
        <source>Last page</source>
        <translation>最后一页</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>缩小</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>Print(&amp;P)...</source>
        <translation>打印(&amp;P)...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>of %1</source>
        <translation>共 %1 页</translation>
    </message>
    <message>
        <source>of %1 so far</source>
        <translation>已排 %1 页</translation>
    </message>
    <message>
        <source>Laying out pages...</source>
        <translation>正在排版...</translation>
    </message>
</context>
<context>
    <name>rebound::report::ReportTexts</name>
    <message>
        <source>Horizontal</source>
        <extracomment>The tested surface: a side face, struck with the hammer held level.</extracomment>
        <translation>侧面</translation>
    </message>
    <message>
        <source>Downwards</source>
        <extracomment>The tested surface: the cast top face, struck from above.</extracomment>
        <translation>表面</translation>
    </message>
    <message>
        <source>Upwards</source>
        <extracomment>The tested surface: the bottom face, struck from below.</extracomment>
        <translation>底面</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>each area&apos;s own depth</source>
        <extracomment>How the carbonation depth was taken: each area&apos;s own measured depth.</extracomment>
        <translation>各测区实测值</translation>
    </message>
    <message>
        <source>representative depth</source>
        <extracomment>How the carbonation depth was taken: the component&apos;s representative depth.</extracomment>
        <translation>取代表值</translation>
    </message>
    <message>
        <source>-.-</source>
        <extracomment>A carbonation depth that was not measured.</extracomment>
        <translation>-.-</translation>
    </message>
    <message>
        <source>&gt; 6.0</source>
        <extracomment>A carbonation depth above 6 mm.</extracomment>
        <translation>&gt; 6.0</translation>
    </message>
    <message>
        <source>area strength taken from the instrument; pump correction not added</source>
        <extracomment>Note on a component whose area strengths the instrument supplied: the pumped-concrete correction is listed but not added to them.</extracomment>
        <translation>测区强度取自仪器，未计入泵送修正</translation>
    </message>
    <message>
        <source>Note: the rebound readings of areas marked * were entered or changed by hand</source>
        <extracomment>Under the test record sheet&apos;s table: the areas marked * hold readings typed by hand.</extracomment>
        <translation>注：带 * 的测区回弹值为手工录入或修改</translation>
    </message>
    <message>
        <source>by correction</source>
        <extracomment>The project&apos;s rule for pumped concrete: the correction added to the curve.</extracomment>
        <translation>按修正值</translation>
    </message>
    <message>
        <source>by pumped-concrete curve</source>
        <extracomment>The project&apos;s rule for pumped concrete: the curve of pumped concrete.</extracomment>
        <translation>按泵送曲线</translation>
    </message>
    <message>
        <source>as the hammer</source>
        <extracomment>The project&apos;s arithmetic: as the hammer computes.</extracomment>
        <translation>按仪器计算</translation>
    </message>
    <message>
        <source>as the standard</source>
        <extracomment>The project&apos;s arithmetic: exact decimals as the standard writes them.</extracomment>
        <translation>按规程计算</translation>
    </message>
    <message>
        <source>areas %1 lie below the range of the curve: the estimate is below its lowest strength</source>
        <translation>测区 %1 低于测强曲线范围：推定值小于曲线最低强度</translation>
    </message>
    <message>
        <source>every area lies above the range of the curve: the estimate is above its highest strength</source>
        <translation>全部测区高于测强曲线范围：推定值大于曲线最高强度</translation>
    </message>
    <message>
        <source>areas %1 lie above the range of the curve and have no strength: no estimate</source>
        <translation>测区 %1 高于测强曲线范围，无换算强度：无推定值</translation>
    </message>
</context>
</TS>
